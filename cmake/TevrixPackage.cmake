# The packages users install: `cmake --build build/native --target package` makes the Debian
# package, the same target in the Windows build the zip; both land in dist/.

set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tevrix developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "move memory images between files and a memory-chip emulator")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_SOURCE_DIR}/dist)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(packaged ${CMAKE_BINARY_DIR}/packaged)

if(WIN32)
    # A zip that explains itself: the program, and the README and licence as text files Notepad
    # shows (the manual beside them comes from docs/).
    text_conversion(crlf ${CMAKE_SOURCE_DIR}/README.md ${packaged}/README.txt)
    text_conversion(crlf ${CMAKE_SOURCE_DIR}/LICENSE ${packaged}/LICENSE.txt)
    add_custom_target(packaged_texts ALL DEPENDS ${packaged}/README.txt ${packaged}/LICENSE.txt)
    install(TARGETS Tevrix RUNTIME DESTINATION .)
    install(FILES ${packaged}/README.txt ${packaged}/LICENSE.txt DESTINATION .)

    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME Tevrix-${PROJECT_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    # Debian's places: the documents under /usr/share/doc/tevrix, the licence as Debian's
    # machine-readable copyright file, the change log compressed.
    set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/tevrix)
    set(maintainer "The Tevrix developers <tevrix@example.org>")

    file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE licence_lines)
    set(copyright "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")
    string(APPEND copyright "Upstream-Name: tevrix\n\nFiles: *\nCopyright: 2026 The Tevrix developers\n")
    string(APPEND copyright "License: Expat\n")
    list(REMOVE_AT licence_lines 0) # "MIT License": the License field names it
    foreach(line IN LISTS licence_lines)
        if(line STREQUAL "")
            string(APPEND copyright " .\n")
        else()
            string(APPEND copyright " ${line}\n")
        endif()
    endforeach()
    file(GENERATE OUTPUT ${packaged}/copyright CONTENT "${copyright}")

    string(TIMESTAMP released "%a, %d %b %Y %H:%M:%S +0000" UTC)
    file(WRITE ${packaged}/changelog
         "tevrix (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
         "  * Release ${PROJECT_VERSION}.\n\n"
         " -- ${maintainer}  ${released}\n")
    text_conversion(gzip ${packaged}/changelog ${packaged}/changelog.gz)
    add_custom_target(packaged_texts ALL DEPENDS ${packaged}/changelog.gz)

    install(FILES ${CMAKE_SOURCE_DIR}/README.md ${packaged}/copyright ${packaged}/changelog.gz
            DESTINATION ${docdir})
    install(FILES ${CMAKE_SOURCE_DIR}/completions/tevrix.bash
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME tevrix)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME tevrix)
    set(CPACK_DEBIAN_PACKAGE_NAME tevrix)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_PACKAGE_CONTACT ${maintainer})
    set(CPACK_PACKAGE_DESCRIPTION
        "Tevrix writes a file into the RAM of a memory-chip emulator on a USB,\n"
        "serial or Bluetooth port, reads the RAM back, verifies it, or monitors a\n"
        "file so that every saved change reaches the emulator. Files are raw\n"
        "binary, Intel HEX or S-records. The package also holds tevrix-sim, a\n"
        "virtual emulator on a pseudo-terminal, for trying tevrix without hardware.")
    string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
    set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # Dependencies as the binaries need them, worked out by dpkg-shlibdeps.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_STRIP_FILES ON)
endif()

include(CPack)
