# The Windows zip (target windows_zip): the Windows programs, the demo archive that the guide's
# examples list, the licence and a short guide, the texts with CR LF line ends. Built on request
# only, so that the normal build stays as it is.
if(NOT GORBLUNK_SETWRIGHT_EXE)
  return()
endif()
set(zipName trovanta-windows-${PROJECT_VERSION})
set(zipFolder ${CMAKE_BINARY_DIR}/windows_zip/${zipName})
set(zipTexts ${CMAKE_BINARY_DIR}/windows_zip/texts)
set(TROVANTA_EXE_TEXT "")
if(GORBLUNK_TROVANTA_EXE)
  file(READ ${CMAKE_CURRENT_SOURCE_DIR}/windows/Trovanta.txt TROVANTA_EXE_TEXT)
  # configure_file gives CR LF to the template's lines, not to the lines of a value put in.
  string(REPLACE "\n" "\r\n" TROVANTA_EXE_TEXT "${TROVANTA_EXE_TEXT}")
endif()
configure_file(windows/README.txt ${zipTexts}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${zipTexts}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
set(zipPrograms ${GORBLUNK_TROVANTA_EXE} ${GORBLUNK_TROVANTA_LS_EXE} ${GORBLUNK_SETWRIGHT_EXE})
set(zipFiles ${zipPrograms} ${GORBLUNK_DEMO_ARCHIVE} ${zipTexts}/README.txt ${zipTexts}/LICENSE.txt)
set(GORBLUNK_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/${zipName}.zip)
add_custom_command(
  OUTPUT ${GORBLUNK_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zipFolder} ${GORBLUNK_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zipFolder}
  COMMAND ${CMAKE_COMMAND} -E copy ${zipFiles} ${zipFolder}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/windows_zip
          ${CMAKE_COMMAND} -E tar cf ${GORBLUNK_WINDOWS_ZIP} --format=zip ${zipName}
  DEPENDS windows_programs demo_archive ${zipFiles}
  COMMENT "Packing ${zipName}.zip"
  VERBATIM)
add_custom_target(windows_zip DEPENDS ${GORBLUNK_WINDOWS_ZIP})
