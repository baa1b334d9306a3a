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
