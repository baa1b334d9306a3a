// The Save dialog's record and its file-name buffer.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>

#include "strings.h"

// The dialog record of the layout without the three trailing fields (76 bytes in the i686 build).
inline constexpr DWORD kSaveRequestSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
inline constexpr DWORD kSaveFileNameBytes = 260;
#if defined(__i386__)
static_assert(kSaveRequestSize == 76, "the Save record is the 76-byte layout");
#endif

extern OPENFILENAMEA SaveRequest;

// Clears the file-name buffer and points the record at it; the first time it keeps the initial
// name.
void SaveDialogPrepare(OPENFILENAMEA& record);
// The name the dialog wrote into the record's buffer.
TextView SaveDialogChosenName(const OPENFILENAMEA& record);
