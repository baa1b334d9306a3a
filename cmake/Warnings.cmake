add_compile_options(-Wall -Wextra -Wpedantic)
if(CARRIER_WERROR)
    add_compile_options(-Werror)
endif()

# The program and its run time use neither exceptions nor RTTI; tests (GoogleTest) do. No frame
# pointer either: the shipped exe has 32 KiB without the document, and i686 keeps one by default.
# Functions with arrays or addresses of locals check a stack guard that the loader seeds
# (runtime/core/stack_guard.cpp). x86_64 keeps its unwind tables (.pdata), which its ABI requires
# of every function that calls another; i686 unwinds through registered handlers and needs none.
set(CARRIER_LEAN_FLAGS -fno-exceptions -fno-rtti -fomit-frame-pointer -ffunction-sections
    -fstack-protector-strong)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND CARRIER_LEAN_FLAGS -fno-asynchronous-unwind-tables)
endif()
# Only Windows system DLLs at run time.
set(CARRIER_STATIC_LINK -static -static-libgcc -static-libstdc++)
