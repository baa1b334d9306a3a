# Host-side helpers from tools/, built with the machine's own compiler before anything needs them.
include(ExternalProject)
ExternalProject_Add(carrier_host_tools
    SOURCE_DIR "${PROJECT_SOURCE_DIR}/tools"
    BINARY_DIR "${CMAKE_BINARY_DIR}/host-tools"
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS "${CMAKE_BINARY_DIR}/host-tools/standin_pdf" "${CMAKE_BINARY_DIR}/host-tools/make_skin"
                     "${CMAKE_BINARY_DIR}/host-tools/document_checksum"
                     "${CMAKE_BINARY_DIR}/host-tools/align_resources")

# carrier_align_resources(TARGET): the exe's resource section is moved to a page-aligned file
# offset after the link, so the loader maps the carried document instead of reading it at start.
function(carrier_align_resources target)
    add_dependencies(${target} carrier_host_tools)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND "${CMAKE_BINARY_DIR}/host-tools/align_resources" $<TARGET_FILE:${target}>
        VERBATIM)
endfunction()
