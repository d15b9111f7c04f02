// The uninstaller's application object: its start-up, message loop and
// shut-down, ending with the self-delete once the clean-up job has run.
#pragma once

#include <windows.h>

#include <string>

class KXSpaceImpl {
public:
    // -1 when COM cannot be initialised, else 1.
    int entrance(HINSTANCE instance, const std::wstring& commandLine);
    // Creates the main window; shows it, or starts the clean-up at once when silent.
    bool createMainFrame();
};
