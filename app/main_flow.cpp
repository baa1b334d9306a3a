#include "app.h"

#include "core/binding.h"
#include "window/form_class.h"
#include "window/message_loop.h"

#include "volume.h"

// Test variants bind names that do not exist to prove the fatal-error exit.
#ifndef CARRIER_BIND_LIBRARY
#define CARRIER_BIND_LIBRARY "user32.dll"
#endif
#ifndef CARRIER_BIND_FUNCTION
#define CARRIER_BIND_FUNCTION "ReleaseCapture"
#endif

StringVariable Volume;
StringVariable FileBaseName;
StringVariable InfoText;
StringVariable ProductTitle;
StringVariable DialogTitle;
StringVariable ChosenFile;
StringVariable InitialDir;
StringVariable DefaultFileName;
StringVariable NulChar;
StringVariable SaveFilter;
StringVariable DirectoryBuffer;

BOOL(WINAPI* BoundReleaseCapture)();

static void AppendLiteral(StringVariable& var, const char* text) {
    StrAppend(var, text, TextLength(text));
}

static void AppendVariable(StringVariable& var, const StringVariable& source) {
    StrAppend(var, source.text, source.length);
}

static void ResetApplicationStrings() {
    StringVariable* variables[] = {&Volume,      &FileBaseName, &InfoText,   &ProductTitle,
                                   &DialogTitle, &ChosenFile,   &InitialDir, &DefaultFileName,
                                   &NulChar,     &SaveFilter};
    for (StringVariable* var : variables)
        StrReset(*var, kDefaultSizeHint);
}

// Texts are CP1252 bytes, spelled as escapes so the source encoding cannot change them.
static void BuildTexts() {
    StrAssign(Volume, CARRIER_VOLUME, TextLength(CARRIER_VOLUME));

    AppendLiteral(ProductTitle, "Wendelkamm ");
    AppendVariable(ProductTitle, Volume);
    AppendLiteral(FileBaseName, "Wendelkamm_");
    AppendVariable(FileBaseName, Volume);

    AppendLiteral(InfoText, "Sie k\xF6nnen dann Bd. ");
    AppendVariable(InfoText, Volume);
    AppendLiteral(InfoText, " als PDF-Datei in ein Verzeichnis Ihrer Wahl abspeichern.");

    AppendLiteral(DialogTitle, "Wohin m\xF6"
                               "chten Sie ");
    AppendVariable(DialogTitle, ProductTitle);
    AppendLiteral(DialogTitle, " speichern ?");

    // Real zero bytes inside the filter, counted in its length.
    const char zero = 0;
    StrAssign(NulChar, &zero, 1);
    AppendLiteral(SaveFilter, "PDF-Dateien");
    AppendVariable(SaveFilter, NulChar);
    AppendLiteral(SaveFilter, "*.PDF");
    AppendVariable(SaveFilter, NulChar);
}

void BuildApplicationTexts() {
    ResetApplicationStrings();
    BuildTexts();
}

void BindSystemFunctions() {
    BindLibrary(0, CARRIER_BIND_LIBRARY);
    BindInto(BoundReleaseCapture, 0, CARRIER_BIND_FUNCTION);
}

int RunMain() {
    RegisterFormClass();
    BuildApplicationTexts();
    BindSystemFunctions();
    BuildUserInterface();
    ShowMainForm();
    // The loop's own result is not the program's: a normal end is 0.
    RunMessageLoop();
    return 0;
}
