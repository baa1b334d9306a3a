#include "support/control_state.h"

#include "window/form_class.h"

void ResetControlState() {
    for (ControlRecord*& entry : RecordTable) {
        if (entry != nullptr && entry->handle != nullptr && IsWindow(entry->handle))
            DestroyWindow(entry->handle);
        entry = nullptr;
    }
    LastId = -1;
    MainFormWindow = nullptr;
    CurrentFormWindow = nullptr;
    DefaultRow = 0;
    TargetObject = nullptr;
    SourceObject = nullptr;
    if (DefaultFont == nullptr)
        RegisterFormClass();
}
