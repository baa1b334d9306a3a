# The platform-free run time on the host, under AddressSanitizer and UndefinedBehaviorSanitizer:
# its unit tests and a short pass of each fuzzer over the committed seed corpus (label host).
include(ExternalProject)
set(host_checks "${CMAKE_BINARY_DIR}/host-checks")
# The fuzz targets, one per line; scripts/fuzz and tests/host read the same list.
file(STRINGS "${PROJECT_SOURCE_DIR}/tests/fuzz/targets" fuzz_targets)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/fuzz/targets")
ExternalProject_Add(carrier_host_checks
    SOURCE_DIR "${PROJECT_SOURCE_DIR}/tests/host"
    BINARY_DIR "${host_checks}"
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=clang++
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
add_test(NAME host.strings_and_lists COMMAND "${host_checks}/host_strings_test")
set_tests_properties(host.strings_and_lists PROPERTIES LABELS host)
foreach(target ${fuzz_targets})
    add_test(NAME host.fuzz_${target}
        COMMAND bash "${PROJECT_SOURCE_DIR}/tests/fuzz/run_fuzzer.sh" "${host_checks}/fuzz_${target}"
                "${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${target}" "${host_checks}/fuzz-${target}" 10)
    set_tests_properties(host.fuzz_${target} PROPERTIES LABELS "host;fuzz")
endforeach()
