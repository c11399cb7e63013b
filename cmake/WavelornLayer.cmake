# wavelorn_layer(NAME SOURCES ... [DEPENDS ...]): one static library of the engine,
# built from the listed sources with our warnings, linking the layers below it.
function(wavelorn_layer name)
    cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;DEPENDS")
    add_library(${name} STATIC ${layer_SOURCES})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${layer_DEPENDS} PRIVATE wavelorn_warnings)
endfunction()

# wavelorn_host_headers(TARGET FOLDER NAME): for the cross build, TARGET as an imported
# header-only library made of the host's header folder FOLDER, included as <NAME/...>,
# without the host's other headers beside it.
function(wavelorn_host_headers target folder name)
    set(host_headers "${CMAKE_CURRENT_BINARY_DIR}/host-headers")
    file(MAKE_DIRECTORY "${host_headers}")
    file(CREATE_LINK "${folder}" "${host_headers}/${name}" SYMBOLIC)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    target_include_directories(${target} SYSTEM INTERFACE "${host_headers}")
endfunction()
