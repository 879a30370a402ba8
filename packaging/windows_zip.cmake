# The Windows zip (target windows_zip, on request only): the Windows programs, the demo archive
# that the guide's examples list, the licence and the guide with CR LF line ends; packed anew
# after each sub-build.
if(NOT GORBLUNK_WINDOWS_BUILD)
  return()
endif()
set(zipName trovanta-windows-${PROJECT_VERSION})
set(work ${CMAKE_BINARY_DIR}/windows_zip)
configure_file(windows/README.txt ${work}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${work}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
set(programs lister/win32/Trovanta.exe lister/cli/trovanta-ls.exe setup/Setwright.exe)
list(TRANSFORM programs PREPEND ${GORBLUNK_WINDOWS_BUILD}/)
add_custom_target(windows_zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}/${zipName} ${CMAKE_BINARY_DIR}/${zipName}.zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${work}/${zipName}
  COMMAND ${CMAKE_COMMAND} -E copy ${programs} ${GORBLUNK_DEMO_ARCHIVE} ${work}/README.txt
          ${work}/LICENSE.txt ${work}/${zipName}
  COMMAND ${CMAKE_COMMAND} -E chdir ${work}
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${zipName}.zip --format=zip ${zipName}
  DEPENDS windows_programs demo_archive
  COMMENT "Packing ${zipName}.zip"
  VERBATIM)
