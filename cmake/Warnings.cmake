add_compile_options(-Wall -Wextra -Wpedantic)
if(CARRIER_WERROR)
    add_compile_options(-Werror)
endif()

# The program and its run time use neither exceptions nor RTTI; tests (GoogleTest) do.
set(CARRIER_LEAN_FLAGS -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections)
# Only Windows system DLLs at run time.
set(CARRIER_STATIC_LINK -static -static-libgcc -static-libstdc++)
