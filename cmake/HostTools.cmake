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
                     "${CMAKE_BINARY_DIR}/host-tools/post_link")

# carrier_post_link(TARGET): after the link, the exe's resource section is moved to a page-aligned
# file offset, so the loader maps the carried document instead of reading it at start, and a load
# configuration limits the search for its imports to System32 (tools/post_link.cpp).
function(carrier_post_link target)
    add_dependencies(${target} carrier_host_tools)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND "${CMAKE_BINARY_DIR}/host-tools/post_link" $<TARGET_FILE:${target}>
        VERBATIM)
endfunction()
