// The test ActiveX control built beside the UI framework tests
// (zul_test_activex.dll). It is never registered: hosts load it by path and
// take it from its DllGetClassObject. One class activates in its own window,
// the other windowless; both record what their host did to them in one
// process-wide record that the tests read through ZulTestControlGetState.
#pragma once

#include <windows.h>

// {6B0F3C5E-9A51-4E0B-8D2A-5C1E7F2B9A10}
const CLSID kTestControlWindowed = {0x6B0F3C5E, 0x9A51, 0x4E0B, {0x8D, 0x2A, 0x5C, 0x1E, 0x7F, 0x2B, 0x9A, 0x10}};
// {6B0F3C5E-9A51-4E0B-8D2A-5C1E7F2B9A11}
const CLSID kTestControlWindowless = {0x6B0F3C5E, 0x9A51, 0x4E0B, {0x8D, 0x2A, 0x5C, 0x1E, 0x7F, 0x2B, 0x9A, 0x11}};

// The colours the two kinds paint their whole rectangle with (0x00BBGGRR).
const COLORREF kTestControlWindowedColor = RGB(0x3C, 0x8C, 0xE0);
const COLORREF kTestControlWindowlessColor = RGB(0xF0, 0x90, 0x30);

struct ZulTestControlState {
    LONG objectsCreated;
    LONG liveObjects;
    LONG activations;  // in-place activations
    LONG windowless;   // the last activation was windowless
    SIZEL extent;      // the last SetExtent, HIMETRIC
    RECT objectRect;   // the last SetObjectRects position
    HWND window;       // the windowed kind's own window
    HWND parent;       // the window the site gave it
    LONG clicks;       // left button presses it received
    LONG draws;        // IViewObject::Draw calls
    wchar_t hostName[32];
};

typedef ZulTestControlState*(WINAPI* ZulTestControlGetStateProc)();
