# The zip for Windows users: wavelorn-cli.exe (linked statically) and a short README,
# made by `cpack` in the cross build as wavelorn-cli-<version>-win64.zip.
install(FILES "${PROJECT_SOURCE_DIR}/cli/windows/README.txt" DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME wavelorn-cli)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "wavelorn-cli-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
