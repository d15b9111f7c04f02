#include "demo_window.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "foundation/log.h"
#include "skinui/controls/rich_edit_ui.h"
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
    SKINUI_ON_NOTIFY(L"windowinit", &DemoWindow::OnRichSectionInit)
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
    common::log("DemoWindow::OnActionClick", __LINE__, L"action button clicked %d times", m_actionClicks);
}

void DemoWindow::OnRichSectionInit(SkinUI::UiNotify& msg)
{
    // The rich edit's formatted text comes from an RTF file of the skin.
    SkinUI::CControlUI* control = m_pm.FindControl(L"richdemo");
    SkinUI::CRichEditUI* edit =
        control != nullptr ? static_cast<SkinUI::CRichEditUI*>(control->GetInterface(L"RichEdit")) : nullptr;
    DWORD size = 0;
    LPBYTE data = SkinUI::CUiManager::LoadSkinData(L"rich_section.rtf", size);
    if (edit == nullptr || data == nullptr) {
        common::log("DemoWindow::OnRichSectionInit", __LINE__, L"no rich edit or no rich_section.rtf lastError = %d", 0);
        delete[] data;
        return;
    }
    std::string rtf(reinterpret_cast<const char*>(data), size);
    delete[] data;
    SETTEXTEX how = {ST_DEFAULT, CP_ACP};
    edit->TxSendMessage(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(rtf.c_str()), nullptr);
    edit->HomeUp();
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
