# The volume the carrier is built for; every text the program shows derives from it.
set(CARRIER_VOLUME "28" CACHE STRING "Volume number of the carried document (1 to 4 digits)")
if(NOT CARRIER_VOLUME MATCHES "^[0-9][0-9]?[0-9]?[0-9]?$")
    message(FATAL_ERROR "CARRIER_VOLUME must be 1 to 4 digits, not \"${CARRIER_VOLUME}\"")
endif()
set(CARRIER_APPLICATION_NAME "Wendelkamm${CARRIER_VOLUME}")

# The version resource: the project's version with the volume as its fourth part, and the
# publisher (a release's --publisher) as company and copyright holder, left out where none is given.
set(CARRIER_FILE_VERSION "${PROJECT_VERSION}.${CARRIER_VOLUME}")
string(REPLACE "." "," CARRIER_FILE_VERSION_NUMBERS "${CARRIER_FILE_VERSION}")
set(CARRIER_PUBLISHER "" CACHE STRING "Publisher named in the version resource (none: left out)")
string(ASCII 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 127
       control_characters)
string(LENGTH "${CARRIER_PUBLISHER}" publisher_length)
if(CARRIER_PUBLISHER MATCHES "[${control_characters}\"\\]" OR CARRIER_PUBLISHER MATCHES "^ | $"
   OR publisher_length GREATER 100)
    message(FATAL_ERROR "CARRIER_PUBLISHER must be a name of at most 100 bytes without control "
                        "characters, quotes, backslashes or blanks at its ends, not \"${CARRIER_PUBLISHER}\"")
endif()
set(CARRIER_PUBLISHER_VALUES "")
if(NOT CARRIER_PUBLISHER STREQUAL "")
    set(CARRIER_PUBLISHER_VALUES "VALUE \"CompanyName\", \"${CARRIER_PUBLISHER}\"
            VALUE \"LegalCopyright\", \"© ${CARRIER_PUBLISHER}\"")
endif()
