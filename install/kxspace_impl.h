// The installer program from its entry to its exit: COM, dispatcher, log,
// single instance, model, region, fonts, skin, main window, message loop.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/scoped_handle.h"
#include "install/private_fonts.h"

class KXSpaceMainFrame;
class KXSpaceModel;

// What the installer's process returns.
enum InstallerExitCode {
    kExitNoCom = -1,         // COM could not be initialised, or no window could be made
    kExitOtherInstance = 0,  // another installer is running
    kExitDone = 1,           // a normal run
    // A failed install job returns its error code (10001-10004).
};

class KXSpaceImpl {
public:
    KXSpaceImpl() = default;
    KXSpaceImpl(const KXSpaceImpl&) = delete;
    KXSpaceImpl& operator=(const KXSpaceImpl&) = delete;

    int entrance(HINSTANCE instance, const std::wstring& commandLine);
    // Makes the main window; shows it, starts the installation at once, or both.
    bool createMainFrame();

private:
    KXSpaceMainFrame* mainFrame_ = nullptr;  // owned by its window: it deletes itself
    utility::ScopedHandle instanceMutex_;    // held until the process ends
    PrivateFonts fonts_;
};
