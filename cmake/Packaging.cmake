# The Debian package: `cpack -G DEB` in the build folder writes wavelorn_VERSION_ARCH.deb
# with both programs, the desktop entry, the icons, the AppStream metainfo, the manual
# pages and the changelog, installed under /usr. Its runtime dependencies are computed by dpkg-shlibdeps.
# Needs the variables of cmake/Release.cmake.

set(WAVELORN_PACKAGE_MAINTAINER "Wavelorn maintainers <wavelorn@example.org>"
    CACHE STRING "The Maintainer field of the Debian package and its changelog")

# The Debian changelog of the package: this release's section of CHANGELOG.md.
set(debian_changelog "${PROJECT_BINARY_DIR}/package/changelog")
file(CONFIGURE OUTPUT "${debian_changelog}" CONTENT
"wavelorn (${PROJECT_VERSION}) unstable; urgency=medium

${WAVELORN_RELEASE_NOTES}
 -- ${WAVELORN_PACKAGE_MAINTAINER}  ${WAVELORN_RELEASE_RFC_DATE}
")
find_program(GZIP_PROGRAM gzip REQUIRED)
set(installed_changelog "${PROJECT_BINARY_DIR}/package/doc/changelog")
add_custom_command(OUTPUT "${installed_changelog}.gz"
    COMMAND "${CMAKE_COMMAND}" -E copy "${debian_changelog}" "${installed_changelog}"
    COMMAND "${GZIP_PROGRAM}" -9nf "${installed_changelog}"
    DEPENDS "${debian_changelog}"
    COMMENT "Compressing the Debian changelog"
    VERBATIM)
add_custom_target(wavelorn_debian_changelog ALL DEPENDS "${installed_changelog}.gz")
install(FILES "${installed_changelog}.gz" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/wavelorn")

# A stripped install (cpack strips) also drops the compilers' .comment sections, as
# Debian strips its programs.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program IN ITEMS wavelorn wavelorn-cli)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()")

# Where lintian's report is wrong, and why: lintian reads this file from the package.
install(FILES "${PROJECT_SOURCE_DIR}/cmake/package/lintian-overrides"
        DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides" RENAME wavelorn)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wavelorn)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${WAVELORN_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${WAVELORN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "move audio between an eight-track recorder's disk and PC sound files")
# The summary is the synopsis line; this is the extended description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Wavelorn moves audio between the disk of an eight-track digital recorder (a
folder holding the recorder's own files) and PC sound files, both ways,
exact to the byte. Export turns the tracks of a project into one mono file per
track or one stereo file, as WAVE, AIFF or lossless FLAC; import turns up to
eight mono WAVE or AIFF files into a new project that the recorder takes over;
archive copies a whole disk and decodes every track.

The package holds the desktop program wavelorn (Qt 6) and the command-line
tool wavelorn-cli.")

include(CPack)
