#include "skinui/controls/activex_wnd.h"

#include "foundation/log.h"
#include "skinui/controls/activex_ctrl.h"

namespace SkinUI {

namespace {
// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
const DWORD kHostStyle = 0x56000000;
}  // namespace

CActiveXWnd* CActiveXWnd::Create(CActiveXCtrl* site, HWND parent, const RECT& rc)
{
    CActiveXWnd* window = new CActiveXWnd(site);
    if (window->CWindowWnd::Create(parent, L"UIActiveX", kHostStyle, 0, rc) == nullptr) {
        common::log("CActiveXWnd::Create", __LINE__, L"in-place window not created lastError = %d",
                    static_cast<int>(::GetLastError()));
        delete window;
        return nullptr;
    }
    return window;
}

const wchar_t* CActiveXWnd::GetWindowClassName() const { return L"ActiveXWnd"; }

LRESULT CActiveXWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_PAINT: {
        // The object paints its own window over this one.
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
}

void CActiveXWnd::OnFinalMessage(HWND hWnd)
{
    if (m_pSite != nullptr) {
        m_pSite->OnWindowDestroyed(hWnd);
    }
    delete this;
}

}  // namespace SkinUI
