# gorblunk_add_version_info(TARGET PRODUCT DESCRIPTION [EXECUTION_LEVEL LEVEL]): gives the
# Windows program TARGET the version information that Windows shows in the file's properties:
# the project's version as file and product version, PRODUCT, DESCRIPTION and the licence's
# copyright line. With EXECUTION_LEVEL (asInvoker, requireAdministrator), also its manifest: that
# level of rights and the Windows versions it supports. A program that brings a manifest of its
# own (Trovanta.exe, for its common controls) leaves EXECUTION_LEVEL out, as a program has one.
include_guard(GLOBAL)
enable_language(RC)

function(gorblunk_add_version_info target product description)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "EXECUTION_LEVEL" "")
  set(VERSION_INFO_NAME ${target})
  set(VERSION_INFO_FILE ${target}.exe)
  set(VERSION_INFO_PRODUCT "${product}")
  set(VERSION_INFO_DESCRIPTION "${description}")
  file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE VERSION_INFO_COPYRIGHT REGEX "^Copyright "
       LIMIT_COUNT 1)
  set(VERSION_INFO_MANIFEST "")
  if(arg_EXECUTION_LEVEL)
    set(VERSION_INFO_EXECUTION_LEVEL ${arg_EXECUTION_LEVEL})
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.manifest.in ${manifest} @ONLY)
    set(VERSION_INFO_MANIFEST "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${manifest}\"")
  endif()
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_info.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version_info.rc.in ${resource} @ONLY)
  if(arg_EXECUTION_LEVEL)
    set_source_files_properties(${resource} PROPERTIES OBJECT_DEPENDS ${manifest})
  endif()
  target_sources(${target} PRIVATE ${resource})
endfunction()
