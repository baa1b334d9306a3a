add_compile_options(-Wall -Wextra -Wpedantic)
if(CARRIER_WERROR)
    add_compile_options(-Werror)
endif()

# The program and its run time use neither exceptions nor RTTI; tests (GoogleTest) do. No frame
# pointer either: the shipped exe has 32 KiB without the document, and i686 keeps one by default.
set(CARRIER_LEAN_FLAGS -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fomit-frame-pointer -ffunction-sections)
# Only Windows system DLLs at run time.
set(CARRIER_STATIC_LINK -static -static-libgcc -static-libstdc++)
