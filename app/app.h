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

// Steps of the start-up that tests also run on their own.
void BuildApplicationTexts();
void BindSystemFunctions();
void BuildSaveRequest();

// Asks for a path in the Save dialog and writes the carried document there.
void SaveDocument();
