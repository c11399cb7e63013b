# Checks the layering of the sources: every `#include "folder/..."` of a layer folder
# must name a folder at or below it, no header of the operating system appears
# outside platform/, and no CMakeLists.txt gathers sources with file(GLOB).
# Run by CTest: cmake -DSOURCE_DIR=<repository root> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)

# The folders each layer may include from.
set(allowed_platform platform)
set(allowed_recorder platform recorder)
set(allowed_app platform recorder app)
set(allowed_export platform recorder app export)
set(allowed_import platform recorder app import)
set(allowed_convert platform recorder app export import convert)
set(allowed_archive platform recorder app export import convert archive)
set(allowed_cli platform recorder app export import convert archive cli tools)
set(allowed_gui platform recorder app export import convert archive gui)
set(allowed_tools platform recorder tools)
set(layers platform recorder app export import convert archive cli gui tools)

# Headers of an operating system's own interface, allowed in platform/ only.
set(system_header_pattern "^#[ \t]*include[ \t]*<(unistd|fcntl|dirent|windows|io|direct|pwd)\\.h>|^#[ \t]*include[ \t]*<sys/")

set(failures "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
        file(STRINGS "${source}" lines REGEX "^#[ \t]*include")
        foreach(line IN LISTS lines)
            if(line MATCHES "^#[ \t]*include[ \t]*\"([A-Za-z_]+)/")
                set(target "${CMAKE_MATCH_1}")
                if(NOT target IN_LIST allowed_${layer})
                    string(APPEND failures "${shown}: ${layer}/ may not include ${target}/: ${line}\n")
                endif()
            endif()
            if(NOT layer STREQUAL "platform" AND line MATCHES "${system_header_pattern}")
                string(APPEND failures "${shown}: an operating-system header outside platform/: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

file(GLOB_RECURSE lists_files "${SOURCE_DIR}/CMakeLists.txt")
foreach(lists_file IN LISTS lists_files)
    if(lists_file MATCHES "/build[^/]*/")
        continue()
    endif()
    file(STRINGS "${lists_file}" globs REGEX "file[ \t]*\\([ \t]*GLOB")
    if(globs)
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${lists_file}")
        string(APPEND failures "${shown}: sources gathered with file(GLOB); list them\n")
    endif()
endforeach()

if(failures)
    message(FATAL_ERROR "Layering check failed:\n${failures}")
endif()
message(STATUS "Layering check passed")
