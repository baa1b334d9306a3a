// The application: its texts, its main flow and its event handlers.
#pragma once

#include <windows.h>

#include "controls/control_record.h"
#include "controls/properties.h"
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

extern ControlRecord MainForm;
extern ControlRecord TitleBar;
extern ControlRecord CloseBox;
extern ControlRecord TitleLabel;
extern ControlRecord InfoLabel;
extern ControlRecord OkButton;
extern ControlRecord QuitButton;

extern FontRecord HeadingFont;
extern FontRecord TextFont;
extern FontRecord ButtonFont;

extern BOOL(WINAPI* BoundReleaseCapture)();

// Builds everything, runs the message loop; the process exit code.
int RunMain();

// Steps of the start-up that tests also run on their own.
void BuildApplicationTexts();
void BindSystemFunctions();
void BuildSaveRequest();
// The fonts, the Save request and the main window with its controls, still hidden.
void BuildUserInterface();
void ShowMainForm();

// Event handlers.
// Asks for a path in the Save dialog and writes the carried document there.
void SaveDocument();
void DragWindow();
// Destroys the main window and ends the process with 0.
void QuitProgram();
// Enter presses the focused button ("OK" on its release, see ReleaseKey), Esc quits.
void PressKey();
void ReleaseKey();
// The main form's onMessage: Tab and Shift+Tab between "OK" and "Abbrechen / Schliessen", and the
// focused button kept across deactivation.
LRESULT KeyboardFocusMessage();
// Gives "OK" the keyboard focus with a visible focus cue.
void FocusOkButton();
