// Process-wide handles taken by the entry point.
#pragma once

#include <windows.h>

extern HINSTANCE ModuleInstance;
extern HANDLE StdOutput;
extern HANDLE StdInput;
extern HANDLE StdError;
