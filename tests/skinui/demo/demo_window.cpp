#include "demo_window.h"

#include <algorithm>

#include "foundation/log.h"
#include "skinui/core/ui_manager.h"

namespace skindemo {

namespace {
const UINT_PTR kAutoCloseTimer = 0x7D01;
}

void DemoButtonUI::DoEvent(SkinUI::UiEvent& event)
{
    if (event.Type == SkinUI::UIEVENT_BUTTONUP && m_pManager != nullptr && ::PtInRect(&m_rcItem, event.ptMouse)) {
        m_pManager->SendNotify(this, L"click");
        return;
    }
    CControlUI::DoEvent(event);
}

void DemoScrollPanelUI::SetPos(RECT rc, bool needInvalidate)
{
    CContainerUI::SetPos(rc, needInvalidate);
    SIZE needed = {0, 0};
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child->IsVisible() && !child->IsFloat()) {
            needed.cx = (std::max)(needed.cx, static_cast<LONG>(child->GetMinWidth()));
            needed.cy = (std::max)(needed.cy, static_cast<LONG>(child->GetMinHeight()));
        }
    }
    ProcessScrollBar(GetClientPos(), needed.cx, needed.cy);
}

SKINUI_BEGIN_NOTIFY_MAP(DemoWindow, SkinUI::WindowImplBase)
    SKINUI_ON_CLICK(L"actionbtn", &DemoWindow::OnActionClick)
SKINUI_END_NOTIFY_MAP()

DemoWindow::~DemoWindow()
{
    if (GetHWND() != nullptr) {
        ::DestroyWindow(GetHWND());
    }
}

SkinUI::CControlUI* DemoWindow::CreateControl(const wchar_t* className)
{
    if (wcscmp(className, L"Button") == 0) {
        return new DemoButtonUI;
    }
    if (wcscmp(className, L"ScrollPanel") == 0) {
        return new DemoScrollPanelUI;
    }
    return nullptr;
}

void DemoWindow::OnActionClick(SkinUI::UiNotify& msg)
{
    ++m_actionClicks;
    // The count is also the button's text, which a test driver can read.
    wchar_t count[16];
    swprintf(count, 16, L"%d", m_actionClicks);
    msg.pSender->SetText(count);
    common::log("DemoWindow::OnActionClick", __LINE__, L"action button clicked %d times", m_actionClicks);
}

void DemoWindow::CloseAfter(UINT ms)
{
    if (ms > 0 && GetHWND() != nullptr) {
        ::SetTimer(GetHWND(), kAutoCloseTimer, ms, nullptr);
    }
}

LRESULT DemoWindow::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (uMsg == WM_TIMER && wParam == kAutoCloseTimer) {
        ::KillTimer(GetHWND(), kAutoCloseTimer);
        Close(0);
        return 0;
    }
    bHandled = false;
    return 0;
}

void DemoWindow::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    if (m_quitOnClose) {
        ::PostQuitMessage(0);
    }
}

}  // namespace skindemo
