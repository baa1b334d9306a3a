// The system's side of the binding seam.
#include "binding.h"

FARPROC FindSystemFunction(const char* library, const char* name) {
    HMODULE module = LoadSystemLibrary(library);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}
