# gorblunk_add_version_info(TARGET PRODUCT DESCRIPTION): gives the Windows program TARGET the
# version information that Windows shows in the file's properties: the project's version as
# file and product version, PRODUCT, DESCRIPTION and the licence's copyright line.
include_guard(GLOBAL)
enable_language(RC)

function(gorblunk_add_version_info target product description)
  set(VERSION_INFO_NAME ${target})
  set(VERSION_INFO_FILE ${target}.exe)
  set(VERSION_INFO_PRODUCT "${product}")
  set(VERSION_INFO_DESCRIPTION "${description}")
  file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE VERSION_INFO_COPYRIGHT REGEX "^Copyright "
       LIMIT_COUNT 1)
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_info.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version_info.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
endfunction()
