# The embedded document: CARRIER_DOCUMENT when given, else the deterministic stand-in.
# Sets CARRIER_DOCUMENT_FILE and the target carrier_document that makes the file exist.

set(CARRIER_DOCUMENT "" CACHE FILEPATH "The PDF to carry; empty builds with a stand-in document")

if(CARRIER_DOCUMENT)
    include("${CMAKE_CURRENT_LIST_DIR}/CheckDocument.cmake")
    set(CARRIER_DOCUMENT_FILE "${carrier_document_path}")
    add_custom_target(carrier_document)
else()
    set(CARRIER_DOCUMENT_FILE "${CMAKE_BINARY_DIR}/document/standin.pdf")
    add_custom_command(
        OUTPUT "${CARRIER_DOCUMENT_FILE}"
        COMMAND "${CMAKE_BINARY_DIR}/host-tools/standin_pdf" "${CARRIER_DOCUMENT_FILE}"
        DEPENDS carrier_host_tools "${PROJECT_SOURCE_DIR}/tools/standin_pdf.cpp"
        COMMENT "Making the stand-in document")
    add_custom_target(carrier_document DEPENDS "${CARRIER_DOCUMENT_FILE}")
endif()
