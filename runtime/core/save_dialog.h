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
// GetSaveFileNameA and CommDlgExtendedError, bound from comdlg32.dll at their first use: the
// library and the many it loads in turn stay out of the start-up.
BOOL SaveDialogOpen(OPENFILENAMEA& record);
DWORD SaveDialogError();
// The name the dialog wrote into the record's buffer.
TextView SaveDialogChosenName(const OPENFILENAMEA& record);
