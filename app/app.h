// The application: its texts, its main flow and its event handlers.
#pragma once

#include <windows.h>

#include "core/strings.h"

extern StringVariable Volume;
extern StringVariable FileBaseName;
extern StringVariable InfoText;
extern StringVariable ProductTitle;
extern StringVariable DialogTitle;
extern StringVariable ChosenFile;
extern StringVariable InitialDir;
extern StringVariable DefaultFileName;
extern StringVariable NulChar;
extern StringVariable SaveFilter;
extern StringVariable DirectoryBuffer;

extern BOOL(WINAPI* BoundReleaseCapture)();

// Builds everything, runs the message loop; the process exit code.
int RunMain();
