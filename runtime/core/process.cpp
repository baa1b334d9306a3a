#include "process.h"

HINSTANCE ModuleInstance;
HANDLE StdOutput;
HANDLE StdInput;
HANDLE StdError;
