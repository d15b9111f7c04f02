#include "demo_window.h"

#include "foundation/log.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/tab_layout_ui.h"
#include "skinui/core/ui_manager.h"

namespace skindemo {

namespace {
const UINT_PTR kAutoCloseTimer = 0x7D01;
const int kTabCount = 3;
const wchar_t* const kTabNames[kTabCount] = {L"tab0", L"tab1", L"tab2"};
}  // namespace

SKINUI_BEGIN_NOTIFY_MAP(DemoWindow, SkinUI::WindowImplBase)
    SKINUI_ON_CLICK(L"actionbtn", &DemoWindow::OnActionClick)
    SKINUI_ON_CLICK(L"tab0", &DemoWindow::OnTabClick)
    SKINUI_ON_CLICK(L"tab1", &DemoWindow::OnTabClick)
    SKINUI_ON_CLICK(L"tab2", &DemoWindow::OnTabClick)
SKINUI_END_NOTIFY_MAP()

DemoWindow::~DemoWindow()
{
    if (GetHWND() != nullptr) {
        ::DestroyWindow(GetHWND());
    }
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

void DemoWindow::OnTabClick(SkinUI::UiNotify& msg)
{
    SkinUI::CUiManager& manager = GetManager();
    auto* tabs = static_cast<SkinUI::CTabLayoutUI*>(manager.FindControl(L"demotabs"));
    if (tabs == nullptr || msg.pSender == nullptr) {
        return;
    }
    for (int i = 0; i < kTabCount; ++i) {
        auto* header = static_cast<SkinUI::CButtonUI*>(manager.FindControl(kTabNames[i]));
        if (header == nullptr) {
            continue;
        }
        const bool selected = header == msg.pSender;
        if (selected) {
            tabs->SelectItem(i);
        }
        header->SetTextColor(selected ? 0xFF3A70DB : 0xFF7A869A);
        header->SetBkImage(selected ? L"color='FF4F8CFF' dest='0,30,84,32'" : L"");
    }
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
