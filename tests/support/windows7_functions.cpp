// The binding seam as Windows 7 without KB2533623 answers it: no SetDefaultDllDirectories, and no
// function of the display scale newer than the system's.
#include "core/binding.h"

#include <cstring>
#include <initializer_list>

FARPROC FindSystemFunction(const char* library, const char* name) {
    for (const char* missing : {"SetDefaultDllDirectories", "GetDpiForWindow", "GetDpiForMonitor"})
        if (std::strcmp(name, missing) == 0)
            return nullptr;
    HMODULE module = LoadSystemLibrary(library);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}
