// The run time's one error exit: a message box, then the process ends with index + 1.
#pragma once

enum FatalErrorIndex {
    kErrorLibraryNotFound = 0,
    kErrorFunctionNotFound = 1,
    kErrorInsufficientMemory = 2,
    kErrorArrayIndex = 3,
    kErrorResourceNotFound = 4,
    kErrorVariantType = 5,
};

// The program's name; captions the fatal-error box and titles new forms.
extern const char ApplicationName[];

// Shows the error text of `index` followed by `extra` (may be null) and ends the process.
[[noreturn]] void FatalError(int index, const char* extra);
