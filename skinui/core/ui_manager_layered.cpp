// CUiManager, layered windows and window attributes: per-pixel alpha windows
// painted by a 10 ms timer through UpdateLayeredWindow, native children
// captured with WM_PRINT, the layered mask image, whole-window opacity, and
// the attributes of the skin's Window element.
#include "skinui/core/ui_manager.h"

#include <string.h>
#include <wchar.h>

#include "foundation/log.h"
#include "foundation/system_dll.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/draw_kit_internal.h"

namespace SkinUI {

namespace {

typedef BOOL(WINAPI* UpdateLayeredWindowFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
typedef BOOL(WINAPI* SetLayeredWindowAttributesFn)(HWND, COLORREF, BYTE, DWORD);

// Looked up by name once per process.
struct LayeredFunctions {
    UpdateLayeredWindowFn updateLayeredWindow = nullptr;
    SetLayeredWindowAttributesFn setLayeredWindowAttributes = nullptr;

    LayeredFunctions()
    {
        HMODULE user32 = ::GetModuleHandleW(L"User32.dll");
        if (user32 == nullptr) {
            user32 = utility::loadSystemLibrary(L"User32.dll");
        }
        if (user32 == nullptr) {
            common::log("CUiManager::LayeredFunctions", __LINE__, L"User32.dll not found lastError = %d",
                        static_cast<int>(::GetLastError()));
            return;
        }
        updateLayeredWindow = reinterpret_cast<UpdateLayeredWindowFn>(::GetProcAddress(user32, "UpdateLayeredWindow"));
        setLayeredWindowAttributes = reinterpret_cast<SetLayeredWindowAttributesFn>(
            ::GetProcAddress(user32, "SetLayeredWindowAttributes"));
    }
};

const LayeredFunctions& Layered()
{
    static const LayeredFunctions functions;
    return functions;
}

bool IsName(const wchar_t* name, const wchar_t* expected) { return wcscmp(name, expected) == 0; }
bool IsNameNoCase(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

}  // namespace

void CUiManager::SetLayered(bool layered)
{
    if (m_hWndPaint == nullptr || layered == m_bLayered || GetPlatformMajorVersion() < 6) {
        return;
    }
    LONG_PTR style = ::GetWindowLongPtrW(m_hWndPaint, GWL_STYLE);
    if ((style & WS_CHILD) != 0) {
        return;
    }
    if (Layered().updateLayeredWindow == nullptr) {
        common::log("CUiManager::SetLayered", __LINE__, L"UpdateLayeredWindow not found lastError = %d", 0);
        return;
    }
    LONG_PTR exStyle = ::GetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE);
    if (layered) {
        ::SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        ::SetTimer(m_hWndPaint, UI_LAYERED_TIMER_ID, 10, nullptr);
    } else {
        ::SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        ::KillTimer(m_hWndPaint, UI_LAYERED_TIMER_ID);
    }
    m_bLayered = layered;
    if (m_pRoot != nullptr) {
        m_pRoot->NeedUpdate();
    }
    InvalidateAll();
}

void CUiManager::SetOpacity(BYTE opacity)
{
    m_nOpacity = opacity;
    if (m_hWndPaint == nullptr || GetPlatformMajorVersion() < 6) {
        return;
    }
    SetLayeredWindowAttributesFn setAttributes = Layered().setLayeredWindowAttributes;
    if (setAttributes == nullptr) {
        return;
    }
    LONG_PTR exStyle = ::GetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE);
    ::SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    if (!setAttributes(m_hWndPaint, 0, opacity, LWA_ALPHA)) {
        common::log("CUiManager::SetOpacity", __LINE__, L"SetLayeredWindowAttributes failed lastError = %d",
                    static_cast<int>(::GetLastError()));
    }
    // The window is blended as a whole, not per pixel.
    if (m_bLayered) {
        ::KillTimer(m_hWndPaint, UI_LAYERED_TIMER_ID);
    }
    m_bLayered = false;
    InvalidateAll();
}

void CUiManager::SetLayeredOpacity(BYTE opacity)
{
    m_nLayeredOpacity = opacity;
    m_bLayeredChanged = true;
    InvalidateAll();
}

void CUiManager::SetLayeredImage(const wchar_t* description)
{
    if (IsEnlargeMode()) {
        return;
    }
    m_diLayered.sDrawString = description;
    m_diLayered.bParsed = false;
    m_diLayered.pImageInfo = nullptr;
    RECT none = {0, 0, 0, 0};
    CDrawKit::DrawImageInfo(nullptr, this, none, none, m_diLayered);
    m_bLayeredChanged = true;
}

void CUiManager::SetLayeredEnlargeImage(const wchar_t* description)
{
    if (!IsEnlargeMode()) {
        return;
    }
    m_diLayered.sEnlargeDrawString = description;
    m_diLayered.bParsed = false;
    m_diLayered.pImageInfo = nullptr;
    RECT none = {0, 0, 0, 0};
    CDrawKit::DrawImageInfo(nullptr, this, none, none, m_diLayered);
    m_bLayeredChanged = true;
}

void CUiManager::PrintNativeChildren(const RECT& rcPaint)
{
    for (int i = m_aNativeWindow.GetSize() - 1; i >= 0; --i) {
        if (!::IsWindow(static_cast<HWND>(m_aNativeWindow[i]))) {
            m_aNativeWindow.Remove(i);
            m_aNativeWindowControl.Remove(i);
        }
    }
    for (int i = 0; i < m_aNativeWindow.GetSize(); ++i) {
        HWND child = static_cast<HWND>(m_aNativeWindow[i]);
        if (!::IsWindowVisible(child)) {
            continue;
        }
        RECT rcChild = GetNativeWindowRect(child);
        RECT meet;
        if (!::IntersectRect(&meet, &rcChild, &rcPaint)) {
            continue;
        }
        const int cx = rcChild.right - rcChild.left;
        const int cy = rcChild.bottom - rcChild.top;
        drawkit::DibCanvas canvas(m_dcOffscreen.get(), cx, cy);
        if (!canvas.IsValid()) {
            continue;
        }
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(canvas.GetDC()),
                       PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
        ::GdiFlush();
        DWORD* bits = canvas.GetBits();
        for (int p = 0; p < cx * cy; ++p) {
            if (bits[p] != 0)
                bits[p] |= 0xFF000000;
        }
        ::BitBlt(m_dcOffscreen.get(), rcChild.left, rcChild.top, cx, cy, canvas.GetDC(), 0, 0, SRCCOPY);
    }
}

void CUiManager::PresentLayered(const RECT& rcClient, const RECT& rcPaint)
{
    const int width = rcClient.right - rcClient.left;
    const int height = rcClient.bottom - rcClient.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    const UiImageInfo* image = nullptr;
    if (!m_diLayered.sDrawString.IsEmpty() || !m_diLayered.sEnlargeDrawString.IsEmpty()) {
        CDrawKit::DrawImageInfo(nullptr, this, rcClient, rcClient, m_diLayered);
        image = m_diLayered.pImageInfo;
    }
    if (image != nullptr) {
        bool draw = false;
        if (!m_bmpMask.valid()) {
            m_dcMask.reset(::CreateCompatibleDC(GetPaintDC()));
            m_bmpMask.reset(CDrawKit::CreateARGB32Bitmap(GetPaintDC(), width, height, &m_pMaskBits));
            if (m_dcMask.valid() && m_bmpMask.valid()) {
                ::SelectObject(m_dcMask.get(), m_bmpMask.get());
                draw = true;
            }
        } else if (m_bLayeredChanged) {
            ::GdiFlush();
            memset(m_pMaskBits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
            draw = true;
        }
        if (draw) {
            CDrawClip clip;
            CDrawClip::GenerateClip(m_dcMask.get(), rcClient, clip);
            CDrawKit::DrawImageInfo(m_dcMask.get(), this, rcClient, rcClient, m_diLayered);
        }
        if (image->bAlpha && m_pMaskBits != nullptr && m_pOffscreenBits != nullptr) {
            ::GdiFlush();
            for (LONG y = rcPaint.top; y < rcPaint.bottom; ++y) {
                for (LONG x = rcPaint.left; x < rcPaint.right; ++x) {
                    size_t at = (static_cast<size_t>(y) * width + x) * 4;
                    BYTE alpha = m_pMaskBits[at + 3];
                    BYTE* pixel = m_pOffscreenBits + at;
                    pixel[0] = static_cast<BYTE>(pixel[0] * alpha / 255);
                    pixel[1] = static_cast<BYTE>(pixel[1] * alpha / 255);
                    pixel[2] = static_cast<BYTE>(pixel[2] * alpha / 255);
                    pixel[3] = alpha;
                }
            }
        }
    }

    RECT rcWindow = {0, 0, 0, 0};
    ::GetWindowRect(m_hWndPaint, &rcWindow);
    POINT ptDest = {rcWindow.left, rcWindow.top};
    SIZE size = {width, height};
    POINT ptSource = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nLayeredOpacity, AC_SRC_ALPHA};
    UpdateLayeredWindowFn update = Layered().updateLayeredWindow;
    if (update != nullptr &&
        !update(m_hWndPaint, GetPaintDC(), &ptDest, &size, m_dcOffscreen.get(), &ptSource, 0, &blend, ULW_ALPHA)) {
        common::log("CUiManager::PresentLayered", __LINE__, L"UpdateLayeredWindow failed lastError = %d",
                    static_cast<int>(::GetLastError()));
    }
}

void CUiManager::SetWindowAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || value == nullptr) {
        return;
    }
    int numbers[4] = {0, 0, 0, 0};
    if (IsNameNoCase(name, L"size")) {
        ParseIntList(value, numbers, 2);
        SetInitSize(numbers[0], numbers[1]);
    } else if (IsNameNoCase(name, L"sizebox")) {
        ParseIntList(value, numbers, 4);
        SetSizeBox({numbers[0], numbers[1], numbers[2], numbers[3]});
    } else if (IsNameNoCase(name, L"caption")) {
        ParseIntList(value, numbers, 4);
        SetCaptionRect({numbers[0], numbers[1], numbers[2], numbers[3]});
    } else if (IsNameNoCase(name, L"roundcorner")) {
        ParseIntList(value, numbers, 2);
        SetRoundCorner(numbers[0], numbers[1]);
    } else if (IsNameNoCase(name, L"mininfo")) {
        ParseIntList(value, numbers, 2);
        SetMinInfo(numbers[0], numbers[1]);
    } else if (IsNameNoCase(name, L"maxinfo")) {
        ParseIntList(value, numbers, 2);
        SetMaxInfo(numbers[0], numbers[1]);
    } else if (IsNameNoCase(name, L"showdirty")) {
        SetShowUpdateRect(_wcsicmp(value, L"true") == 0);
    } else if (IsName(name, L"noactivate")) {
        SetNoActivate(_wcsicmp(value, L"true") == 0);
    } else if (IsNameNoCase(name, L"opacity")) {
        SetOpacity(static_cast<BYTE>(ParseInt(value)));
    } else if (IsName(name, L"layeredopacity")) {
        SetLayeredOpacity(static_cast<BYTE>(ParseInt(value)));
    } else if (IsName(name, L"layeredimage")) {
        SetLayered(true);
        SetLayeredImage(value);
    } else if (IsName(name, L"layeredEnlargeimage")) {
        SetLayered(true);
        SetLayeredEnlargeImage(value);
    } else if (IsNameNoCase(name, L"disabledfontcolor")) {
        SetDefaultDisabledColor(ParseColor(value));
    } else if (IsNameNoCase(name, L"defaultfontcolor")) {
        SetDefaultFontColor(ParseColor(value));
    } else if (IsNameNoCase(name, L"linkfontcolor")) {
        SetDefaultLinkFontColor(ParseColor(value));
    } else if (IsNameNoCase(name, L"linkhoverfontcolor")) {
        SetDefaultLinkHoverFontColor(ParseColor(value));
    } else if (IsNameNoCase(name, L"selectedcolor")) {
        SetDefaultSelectedBkColor(ParseColor(value));
    } else {
        AddWindowCustomAttribute(name, value);
    }
}

}  // namespace SkinUI
