# gorblunk_add_version_info(TARGET PRODUCT DESCRIPTION [LEVEL]): gives the Windows program TARGET
# the version information that Windows shows in the file's properties: the project's version,
# PRODUCT, DESCRIPTION and the licence's copyright line. With LEVEL (asInvoker,
# requireAdministrator), also its manifest: that level of rights and the Windows versions it
# supports. Trovanta.exe leaves LEVEL out: it brings a manifest of its own, as a program has one.
include_guard(GLOBAL)
enable_language(RC)
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE VERSION_INFO_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)

function(gorblunk_add_version_info target product description)
  set(VERSION_INFO_NAME ${target})
  set(VERSION_INFO_PRODUCT "${product}")
  set(VERSION_INFO_DESCRIPTION "${description}")
  set(VERSION_INFO_EXECUTION_LEVEL "${ARGN}")
  set(VERSION_INFO_MANIFEST "")
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_info.rc)
  if(ARGN)
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.manifest.in ${manifest} @ONLY)
    set(VERSION_INFO_MANIFEST "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${manifest}\"")
    # The resource is compiled again when its manifest alone changes.
    set_source_files_properties(${resource} PROPERTIES OBJECT_DEPENDS ${manifest})
  endif()
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version_info.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
endfunction()
