# The volume the carrier is built for; every text the program shows derives from it.
set(CARRIER_VOLUME "28" CACHE STRING "Volume number of the carried document (1 to 4 digits)")
if(NOT CARRIER_VOLUME MATCHES "^[0-9][0-9]?[0-9]?[0-9]?$")
    message(FATAL_ERROR "CARRIER_VOLUME must be 1 to 4 digits, not \"${CARRIER_VOLUME}\"")
endif()
set(CARRIER_APPLICATION_NAME "Wendelkamm${CARRIER_VOLUME}")
