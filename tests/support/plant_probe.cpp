// Loads riched20.dll the way a program does that leaves the library search as it is: the folder of
// the exe first. Beside planted DLLs it proves that the test would see one being loaded.
#include <windows.h>

int main() {
    return LoadLibraryA("riched20.dll") != nullptr ? 0 : 1;
}
