# Whether CARRIER_DOCUMENT can be carried: an existing, non-empty PDF within the limit below that a
# reader can open. Used by the configure and, in script mode before anything is built, by
# scripts/release:
#   cmake -DCARRIER_DOCUMENT=FILE -P cmake/CheckDocument.cmake
#
# The limit holds on every Windows. The 32-bit program holds the document twice: mapped in its
# image and, during a save, copied into one block of 1.25 times its size, 2.25 times the document
# in all. 32-bit Windows gives a program 2 GiB of addresses whatever it declares, and the system's
# libraries and the Save dialog's shell extensions break them into pieces: 512 MiB (1.13 GiB for
# both copies) leaves room for that. Measured under 32-bit Wine, whose 2 GiB are less broken up:
# 640 MiB still saved, 768 MiB ended in "Insufficient memory"; with large-address awareness, which
# 64-bit Windows honours with 4 GiB, 1 GiB saved.
set(CARRIER_DOCUMENT_LIMIT 536870912)

get_filename_component(carrier_document_path "${CARRIER_DOCUMENT}" ABSOLUTE)
if(NOT EXISTS "${carrier_document_path}" OR IS_DIRECTORY "${carrier_document_path}")
    message(FATAL_ERROR "CARRIER_DOCUMENT: no such file: ${CARRIER_DOCUMENT}")
endif()
file(SIZE "${carrier_document_path}" carrier_document_size)
if(carrier_document_size EQUAL 0)
    message(FATAL_ERROR "CARRIER_DOCUMENT: ${CARRIER_DOCUMENT} is empty")
endif()
if(carrier_document_size GREATER CARRIER_DOCUMENT_LIMIT)
    message(FATAL_ERROR "CARRIER_DOCUMENT: ${CARRIER_DOCUMENT} has ${carrier_document_size} bytes; "
                        "a carrier holds at most ${CARRIER_DOCUMENT_LIMIT} (512 MiB): the 32-bit "
                        "program holds the document twice during a save (its image and a copy of "
                        "1.25 times its size) within the 2 GiB of addresses that 32-bit Windows "
                        "gives it")
endif()
file(READ "${carrier_document_path}" carrier_document_head LIMIT 5 HEX)
if(NOT carrier_document_head STREQUAL "255044462d")
    message(FATAL_ERROR "CARRIER_DOCUMENT: ${CARRIER_DOCUMENT} is not a PDF (it does not begin with %PDF-)")
endif()

# Checked as a PDF reader would: qpdf finding errors, or warning that it lost data while it
# recovered the file (qpdf 12 only warns where 11 fails: a cut-off file), refuses the document,
# naming the first problem it reports and its last word; other warnings are shown and the document
# is carried (many real PDFs have harmless ones, such as a wrong startxref offset). A file without
# %%EOF in its last 1024 bytes, where readers look for it, is cut off. In script mode before
# scripts/release has installed qpdf, the check waits for the release's second call.
find_program(CARRIER_QPDF qpdf)
if(NOT CARRIER_QPDF)
    if(NOT CMAKE_SCRIPT_MODE_FILE)
        message(FATAL_ERROR "CARRIER_DOCUMENT: qpdf is needed to check ${CARRIER_DOCUMENT} (scripts/install-deps)")
    endif()
    return()
endif()
execute_process(COMMAND "${CARRIER_QPDF}" --check "${carrier_document_path}"
    RESULT_VARIABLE carrier_qpdf_result OUTPUT_QUIET ERROR_VARIABLE carrier_qpdf_report)
string(REPLACE "${carrier_document_path}: " "" carrier_qpdf_report "${carrier_qpdf_report}")
string(REPLACE "${carrier_document_path} " "" carrier_qpdf_report "${carrier_qpdf_report}")
string(REGEX REPLACE "(^|\n)(WARNING|qpdf): " "\\1" carrier_qpdf_report "${carrier_qpdf_report}")
string(STRIP "${carrier_qpdf_report}" carrier_qpdf_report)
string(REPLACE "\n" ";" carrier_qpdf_problems "${carrier_qpdf_report}")
list(FILTER carrier_qpdf_problems EXCLUDE REGEX "^operation succeeded")
if(NOT carrier_qpdf_problems)
    set(carrier_qpdf_problems "qpdf ended with ${carrier_qpdf_result}")
endif()
set(carrier_qpdf_lost "unable to recover|treating stream as empty|unable to find trailer")
if(carrier_qpdf_result EQUAL 3 AND carrier_qpdf_report MATCHES "${carrier_qpdf_lost}")
    set(carrier_qpdf_result 2)
endif()
if(carrier_qpdf_result EQUAL 3)
    string(REPLACE ";" "; " carrier_qpdf_warnings "${carrier_qpdf_problems}")
    message(WARNING "CARRIER_DOCUMENT: qpdf --check warns about ${CARRIER_DOCUMENT} and the "
                    "document is carried as it is: ${carrier_qpdf_warnings}")
elseif(NOT carrier_qpdf_result EQUAL 0)
    list(GET carrier_qpdf_problems 0 carrier_qpdf_first)
    list(GET carrier_qpdf_problems -1 carrier_qpdf_last)
    if(NOT carrier_qpdf_first STREQUAL carrier_qpdf_last)
        string(APPEND carrier_qpdf_first "; ... ${carrier_qpdf_last}")
    endif()
    message(FATAL_ERROR "CARRIER_DOCUMENT: ${CARRIER_DOCUMENT} is a damaged PDF that readers "
                        "cannot rely on (qpdf --check: ${carrier_qpdf_first})")
endif()
set(carrier_document_tail 0)
if(carrier_document_size GREATER 1024)
    math(EXPR carrier_document_tail "${carrier_document_size} - 1024")
endif()
file(READ "${carrier_document_path}" carrier_document_end OFFSET ${carrier_document_tail} HEX)
if(NOT carrier_document_end MATCHES "2525454f46")
    message(FATAL_ERROR "CARRIER_DOCUMENT: ${CARRIER_DOCUMENT} is cut off: its last 1024 bytes "
                        "hold no %%EOF, where PDF readers look for the end of the file")
endif()
