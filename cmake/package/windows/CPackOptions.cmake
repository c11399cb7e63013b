# Read by cpack once per generator: the installer is wavelorn-<version>-win64-setup.exe
# beside the zip of the same name.
if(CPACK_GENERATOR MATCHES "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
