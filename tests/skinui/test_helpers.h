// Helpers shared by the UI framework tests: a memory DC over a 32-bit DIB whose
// pixels the test reads, 32-bit TGA images, rectangle checks, a control that
// records its events, a notifier that records the notifications, and a plain
// window driven by its manager.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "skinui/core/control_ui.h"
#include "skinui/core/ui_manager.h"

namespace skintest {

class Canvas {
public:
    Canvas(int width, int height, DWORD fill = 0xFF000000) : m_width(width), m_height(height)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        m_hDC = ::CreateCompatibleDC(nullptr);
        m_hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        for (int i = 0; i < width * height; ++i)
            m_bits[i] = fill;
    }
    ~Canvas()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return m_hDC; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    RECT all() const { return RECT{0, 0, m_width, m_height}; }
    // 0xAARRGGBB as stored (GDI may leave the alpha byte at 0).
    DWORD At(int x, int y) const
    {
        ::GdiFlush();
        return m_bits[y * m_width + x];
    }
    DWORD Rgb(int x, int y) const { return At(x, y) & 0x00FFFFFF; }
    // Pixels of exactly this colour, or (other = true) of any other colour.
    int Count(DWORD rgb, bool other = false) const
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                count += (Rgb(x, y) != (rgb & 0x00FFFFFF)) == other ? 1 : 0;
        return count;
    }
    int CountNot(DWORD rgb) const { return Count(rgb, true); }
    // Bounding box of the pixels that differ from the background colour (empty when none).
    RECT Bounds(DWORD rgb) const
    {
        RECT rc = {m_width, m_height, 0, 0};
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (Rgb(x, y) != (rgb & 0x00FFFFFF)) {
                    rc = RECT{(std::min<LONG>)(rc.left, x), (std::min<LONG>)(rc.top, y),
                              (std::max<LONG>)(rc.right, x + 1), (std::max<LONG>)(rc.bottom, y + 1)};
                }
        return rc.right == 0 ? RECT{0, 0, 0, 0} : rc;
    }

private:
    int m_width;
    int m_height;
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    DWORD* m_bits = nullptr;
};

inline BYTE Red(DWORD c) { return static_cast<BYTE>(c >> 16); }
inline BYTE Green(DWORD c) { return static_cast<BYTE>(c >> 8); }
inline BYTE Blue(DWORD c) { return static_cast<BYTE>(c); }
inline BYTE Alpha(DWORD c) { return static_cast<BYTE>(c >> 24); }

// An uncompressed, top-down 32-bit TGA of straight (not premultiplied) ARGB pixels.
inline std::string MakeTga(int width, int height, const std::vector<DWORD>& argb)
{
    std::string out(18, '\0');
    out[2] = 2;  // uncompressed true-colour
    out[12] = static_cast<char>(width & 0xFF);
    out[13] = static_cast<char>(width >> 8);
    out[14] = static_cast<char>(height & 0xFF);
    out[15] = static_cast<char>(height >> 8);
    out[16] = 32;
    out[17] = 0x28;  // top-left origin, 8 alpha bits
    for (DWORD c : argb) {
        out.append({static_cast<char>(Blue(c)), static_cast<char>(Green(c)), static_cast<char>(Red(c)),
                    static_cast<char>(Alpha(c))});
    }
    return out;
}

inline ::testing::AssertionResult RectIs(const RECT& rc, int l, int t, int r, int b)
{
    if (rc.left == l && rc.top == t && rc.right == r && rc.bottom == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rect is " << rc.left << "," << rc.top << "," << rc.right << ","
                                         << rc.bottom;
}

// A control of the given class name that counts its live instances, so a test
// can see what was deleted.
class CountedControl : public SkinUI::CControlUI {
public:
    explicit CountedControl(const wchar_t* className = L"Control") : m_class(className) { ++live; }
    ~CountedControl() override { --live; }
    const wchar_t* GetClass() const override { return m_class; }
    static inline int live = 0;

private:
    const wchar_t* m_class;
};

// A T whose memory, when it is deleted, is filled with 0x7F and never given
// out again: a later use through a stale pointer crashes at once (its virtual
// table and every pointer inside point nowhere, its counts are huge) instead
// of reading memory that still looks right.
template <class T>
class Poisoned : public T {
public:
    using T::T;
    static void operator delete(void* p, std::size_t size) { memset(p, 0x7F, size); }
};

// Counts the access violations raised while it lives, also those raised by a
// window procedure under a paint, which the system swallows on their way back.
class FaultCounter {
public:
    FaultCounter() : m_handler(::AddVectoredExceptionHandler(1, &FaultCounter::Handler)) { s_count = 0; }
    ~FaultCounter() { ::RemoveVectoredExceptionHandler(m_handler); }
    FaultCounter(const FaultCounter&) = delete;
    FaultCounter& operator=(const FaultCounter&) = delete;
    int Count() const { return s_count; }

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info)
    {
        if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
            ++s_count;
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static inline int s_count = 0;
    PVOID m_handler;
};

// Every event a RecControl receives, as "name:type".
typedef std::vector<std::string> EventLog;

class RecControl : public SkinUI::CControlUI {
public:
    RecControl(const wchar_t* name, EventLog* log, UINT flags = 0) : m_log(log), m_flags(flags) { SetName(name); }
    UINT GetControlFlags() const override { return m_flags; }
    void SetControlFlags(UINT flags) { m_flags = flags; }
    void DoEvent(SkinUI::UiEvent& event) override
    {
        std::wstring name = GetName().GetData();
        if (m_log != nullptr)
            m_log->push_back(std::string(name.begin(), name.end()) + ":" + std::to_string(event.Type));
        if (event.Type >= 0 && event.Type < 32)
            byType[event.Type] = event;
        CControlUI::DoEvent(event);
    }
    SkinUI::UiEvent byType[32] = {};  // the last event of each type

private:
    EventLog* m_log;
    UINT m_flags;
};

// Collects the notifications of a manager.
class NotifyLog : public SkinUI::INotifyUI {
public:
    struct Entry {
        std::wstring type;
        SkinUI::CControlUI* sender;
        std::wstring senderName;
        WPARAM wParam;
        LPARAM lParam;
    };
    void Notify(SkinUI::UiNotify& msg) override
    {
        std::wstring name = msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"";
        entries.push_back(Entry{msg.sType.GetData(), msg.pSender, name, msg.wParam, msg.lParam});
    }
    int Count(const wchar_t* type) const
    {
        int n = 0;
        for (const Entry& e : entries)
            n += e.type == type ? 1 : 0;
        return n;
    }
    std::vector<Entry> entries;
};

// The pixel of the manager's last off-screen paint at (x, y), as 0xRRGGBB.
inline DWORD OffscreenPixel(SkinUI::CUiManager& manager, int x, int y)
{
    HBITMAP bitmap = manager.GetOffscreenBitmap();
    BITMAP info = {};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(info), &info) == 0)
        return 0xFFFFFFFF;
    Canvas canvas(info.bmWidth, info.bmHeight);
    HDC source = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(source, bitmap);
    ::BitBlt(canvas.dc(), 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
    return canvas.Rgb(x, y);
}

// A top-level popup window whose messages go to its manager first. Every
// WM_CLOSE is cancelled: the window goes only with Destroy or the object.
class ManagedWindow {
public:
    ManagedWindow(int x, int y, int width, int height, DWORD exStyle = 0)
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc = {};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &ManagedWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
            wc.lpszClassName = L"ZulSkinTestWindow";
            registered = ::RegisterClassW(&wc) != 0;
        }
        hwnd = ::CreateWindowExW(exStyle, L"ZulSkinTestWindow", L"skinui test", WS_POPUP, x, y, width, height, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), this);
        manager.Init(hwnd);
    }
    virtual ~ManagedWindow() { Destroy(); }
    ManagedWindow(const ManagedWindow&) = delete;
    ManagedWindow& operator=(const ManagedWindow&) = delete;
    void Destroy()
    {
        closing = true;
        if (::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
    }

    HWND hwnd = nullptr;
    SkinUI::CUiManager manager;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        ManagedWindow* self = reinterpret_cast<ManagedWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_NCCREATE) {
            self = static_cast<ManagedWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (self != nullptr) {
            LRESULT result = 0;
            if (self->manager.MessageHandler(msg, wParam, lParam, result))
                return result;
            if (msg == WM_CLOSE && !self->closing)
                return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    bool closing = false;
};

}  // namespace skintest
