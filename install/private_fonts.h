// The fonts of the installer's resources: unpacked into the fonts folder on a
// thread of their own once the window stands (it needs none of them to
// appear), then the region's private font is added for this process.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/worker_thread.h"

class PrivateFonts {
public:
    PrivateFonts() = default;
    ~PrivateFonts() { finish(); }
    PrivateFonts(const PrivateFonts&) = delete;
    PrivateFonts& operator=(const PrivateFonts&) = delete;

    // Unpacks resource 131 into fontsFolder (made when missing), then adds
    // fontPath (nothing when empty) as a private font.
    void start(const std::wstring& fontsFolder, const std::wstring& fontPath);
    // Waits for the unpacking to end.
    void wait();
    // Waits for the unpacking and removes the fonts added again.
    void finish();

private:
    void unpackAndAdd();

    std::wstring fontsFolder_;
    std::wstring fontPath_;
    volatile LONG added_ = 0;
    utility::WorkerThread worker_;
};
