# The Debian package (cpack -G DEB in the build folder, or cpack --preset package): everything
# installed. Its dependencies are read from the programs by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME gorblunk-tools)
set(CPACK_PACKAGE_CONTACT ${GORBLUNK_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "archive lister and setup program for the game Gorblunk")
# CPack puts the summary first and indents these lines; an empty line separates paragraphs.
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/description.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)
string(STRIP "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}" CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS wine)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
