# The Windows zip (target windows_zip, on request only): the Windows programs, the demo archive
# that the guide's examples list, the licence and the guide with CR LF line ends; packed anew
# after each sub-build.
if(NOT GORBLUNK_WINDOWS_BUILD)
  return()
endif()
set(zipName trovanta-windows-${PROJECT_VERSION})
set(zipFolder ${CMAKE_BINARY_DIR}/windows_zip/${zipName})
set(texts ${CMAKE_BINARY_DIR}/windows_zip/README.txt ${CMAKE_BINARY_DIR}/windows_zip/LICENSE.txt)
configure_file(windows/README.txt ${CMAKE_BINARY_DIR}/windows_zip/ @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/windows_zip/LICENSE.txt @ONLY
               NEWLINE_STYLE CRLF)
set(programs lister/win32/Trovanta.exe lister/cli/trovanta-ls.exe setup/Setwright.exe)
list(TRANSFORM programs PREPEND ${GORBLUNK_WINDOWS_BUILD}/)
add_custom_target(windows_zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zipFolder} ${CMAKE_BINARY_DIR}/${zipName}.zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zipFolder}
  COMMAND ${CMAKE_COMMAND} -E copy ${programs} ${GORBLUNK_DEMO_ARCHIVE} ${texts} ${zipFolder}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/windows_zip
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${zipName}.zip --format=zip ${zipName}
  DEPENDS windows_programs demo_archive
  COMMENT "Packing ${zipName}.zip"
  VERBATIM)
