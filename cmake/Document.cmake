# The embedded document: CARRIER_DOCUMENT when given, else the deterministic stand-in.
# Sets CARRIER_DOCUMENT_FILE and the target carrier_document that makes the file exist.

set(CARRIER_DOCUMENT "" CACHE FILEPATH "The PDF to carry; empty builds with a stand-in document")

if(CARRIER_DOCUMENT)
    get_filename_component(CARRIER_DOCUMENT_FILE "${CARRIER_DOCUMENT}" ABSOLUTE)
    if(NOT EXISTS "${CARRIER_DOCUMENT_FILE}" OR IS_DIRECTORY "${CARRIER_DOCUMENT_FILE}")
        message(FATAL_ERROR "CARRIER_DOCUMENT: no such file: ${CARRIER_DOCUMENT}")
    endif()
    # The 32-bit program holds the document twice (its image and one block of 1.25 times its
    # size) in a 2 GiB address space, with room left for the system's libraries.
    set(carrier_document_limit 671088640)
    file(SIZE "${CARRIER_DOCUMENT_FILE}" carrier_document_size)
    if(carrier_document_size EQUAL 0)
        message(FATAL_ERROR "CARRIER_DOCUMENT: ${CARRIER_DOCUMENT} is empty")
    endif()
    if(carrier_document_size GREATER carrier_document_limit)
        message(FATAL_ERROR "CARRIER_DOCUMENT: ${CARRIER_DOCUMENT} has ${carrier_document_size} bytes; "
                            "a 32-bit carrier holds at most ${carrier_document_limit} (640 MiB)")
    endif()
    file(READ "${CARRIER_DOCUMENT_FILE}" carrier_document_head LIMIT 5 HEX)
    if(NOT carrier_document_head STREQUAL "255044462d")
        message(FATAL_ERROR "CARRIER_DOCUMENT: ${CARRIER_DOCUMENT} is not a PDF (it does not begin with %PDF-)")
    endif()
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
