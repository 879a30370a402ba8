# The Debian package (cpack -G DEB in the build folder, or cpack --preset package): everything
# installed (the Linux programs, their manual pages, the desktop entry and icons, the archive
# file type, the AppStream metadata, the documents and the demo archive). Its dependencies are
# read from the programs by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME gorblunk-tools)
set(CPACK_PACKAGE_VENDOR "Gorblunk tools developers")
set(CPACK_PACKAGE_CONTACT ${GORBLUNK_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "archive lister and setup program for the game Gorblunk")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS wine)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary first and indents these lines; an empty line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Trovanta shows the records of the game's archive files (sprite groups, maps,
tile groups, palette tables) in a window: number, name, compression method,
sizes and ratio, with a summary of the archive. trovanta-ls prints the same
listing in a terminal as a table, tab-separated values or JSON. Neither
extracts anything or writes to an archive.

Setwright, the game's setup program, writes the game's settings file into the
Wine prefix the game runs in.")
set(CPACK_GENERATOR DEB)
include(CPack)
