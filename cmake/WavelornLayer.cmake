# wavelorn_layer(NAME SOURCES ... [DEPENDS ...]): one static library of the engine,
# built from the listed sources with our warnings, linking the layers below it.
function(wavelorn_layer name)
    cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;DEPENDS")
    add_library(${name} STATIC ${layer_SOURCES})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${layer_DEPENDS} PRIVATE wavelorn_warnings)
endfunction()
