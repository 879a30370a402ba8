# The Windows zip (target windows_zip): the Windows programs, the demo archive that the guide's
# examples list, the licence and a short guide, the texts with CR LF line ends. Built on request
# only, so that the normal build stays as it is; packed anew each time, after the sub-build.
if(NOT GORBLUNK_WINDOWS_BUILD)
  return()
endif()
set(zipName trovanta-windows-${PROJECT_VERSION})
set(zipFolder ${CMAKE_BINARY_DIR}/windows_zip/${zipName})
set(zipTexts ${CMAKE_BINARY_DIR}/windows_zip/texts)
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/windows/Trovanta.txt TROVANTA_EXE_TEXT)
# configure_file gives CR LF to the template's lines, not to the lines of a value put in.
string(REPLACE "\n" "\r\n" TROVANTA_EXE_TEXT "${TROVANTA_EXE_TEXT}")
configure_file(windows/README.txt ${zipTexts}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${zipTexts}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
set(programs lister/win32/Trovanta.exe lister/cli/trovanta-ls.exe setup/Setwright.exe)
list(TRANSFORM programs PREPEND ${GORBLUNK_WINDOWS_BUILD}/)
add_custom_target(windows_zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zipFolder} ${CMAKE_BINARY_DIR}/${zipName}.zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zipFolder}
  COMMAND ${CMAKE_COMMAND} -E copy ${programs} ${GORBLUNK_DEMO_ARCHIVE} ${zipTexts}/README.txt
          ${zipTexts}/LICENSE.txt ${zipFolder}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/windows_zip
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${zipName}.zip --format=zip ${zipName}
  DEPENDS windows_programs demo_archive
  COMMENT "Packing ${zipName}.zip"
  VERBATIM)
