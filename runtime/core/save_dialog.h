// The Save dialog's record and its file-name buffer. The dialog is the UTF-16 one, so that a
// folder named in any script comes back as it is, not as the system's code page would spell it.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>

#include "strings.h"
#include "wide_text.h"

// The dialog record of the layout without the three trailing fields (76 bytes in the i686 build).
inline constexpr DWORD kSaveRequestSize =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);
// In UTF-16 units.
inline constexpr DWORD kSaveFileNameChars = 260;
#if defined(__i386__)
static_assert(kSaveRequestSize == 76, "the Save record is the 76-byte layout");
#endif

extern OPENFILENAMEW SaveRequest;

// Clears the file-name buffer and points the record at it; the first time it keeps the initial
// name.
void SaveDialogPrepare(OPENFILENAMEW& record);
// GetSaveFileNameW and CommDlgExtendedError, bound from comdlg32.dll at their first use: the
// library and the many it loads in turn stay out of the start-up.
BOOL SaveDialogOpen(OPENFILENAMEW& record);
DWORD SaveDialogError();
// The name the dialog wrote into the record's buffer.
WideView SaveDialogChosenName(const OPENFILENAMEW& record);
