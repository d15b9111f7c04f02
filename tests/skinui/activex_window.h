// Shared by the ActiveX and web-browser tests: the scroll tests' window with
// child clipping (native windows of hosted objects live in it), the test
// control's record from its DLL, and the log lines written meanwhile.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/log.h"
#include "scroll_window.h"
#include "test_control.h"

namespace skintest {

class ActiveXWindow : public ScrollWindow {
public:
    ActiveXWindow()
    {
        LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
        ::SetWindowLongPtrW(hwnd, GWL_STYLE, style | WS_CLIPCHILDREN);
    }
    // Lays out and paints what changed.
    void Repaint()
    {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        testutil::pumpFor(50);
    }
    // The colour on screen at a client point of hWnd (0x00BBGGRR).
    static COLORREF PixelAt(HWND hWnd, int x, int y)
    {
        HDC hDC = ::GetDC(hWnd);
        COLORREF color = ::GetPixel(hDC, x, y);
        ::ReleaseDC(hWnd, hDC);
        return color;
    }
};

// The test control's DLL, held loaded by the test so its record outlives
// the hosts that load and unload it.
class TestControlModule {
public:
    TestControlModule() : m_module(::LoadLibraryW((testutil::exeDir() + L"zul_test_activex.dll").c_str()))
    {
        EXPECT_NE(nullptr, m_module);
        ZulTestControlGetStateProc get = m_module != nullptr ? reinterpret_cast<ZulTestControlGetStateProc>(
                                                                   ::GetProcAddress(m_module, "ZulTestControlGetState"))
                                                             : nullptr;
        state = get != nullptr ? get() : &m_empty;
        *state = ZulTestControlState();
    }
    ~TestControlModule()
    {
        if (m_module != nullptr)
            ::FreeLibrary(m_module);
    }
    TestControlModule(const TestControlModule&) = delete;
    TestControlModule& operator=(const TestControlModule&) = delete;

    ZulTestControlState* state;

private:
    HMODULE m_module;
    ZulTestControlState m_empty = {};
};

// Every log line written while it exists.
class LogLines {
public:
    LogLines()
    {
        Lines().clear();
        common::setLogSink(&Sink);
    }
    ~LogLines() { common::setLogSink(nullptr); }
    int Count(const wchar_t* text) const
    {
        int n = 0;
        for (const std::wstring& line : Lines())
            n += line.find(text) != std::wstring::npos ? 1 : 0;
        return n;
    }

private:
    static std::vector<std::wstring>& Lines()
    {
        static std::vector<std::wstring> lines;
        return lines;
    }
    static void Sink(const char*, int, const wchar_t* message) { Lines().push_back(message); }
};

}  // namespace skintest
