#include "demo_window.h"

#include <richedit.h>

#include <string>

#include "foundation/log.h"
#include "msg/message_box.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/option_ui.h"
#include "skinui/controls/rich_edit_ui.h"
#include "skinui/controls/slider_ui.h"
#include "skinui/controls/tab_layout_ui.h"
#include "skinui/core/ui_manager.h"

namespace skindemo {

namespace {
const UINT_PTR kAutoCloseTimer = 0x7D01;
const int kTabCount = 3;
const wchar_t* const kTabNames[kTabCount] = {L"tab0", L"tab1", L"tab2"};
const wchar_t kPageGroup[] = L"demopages";
}  // namespace

SKINUI_BEGIN_NOTIFY_MAP(DemoWindow, SkinUI::WindowImplBase)
    SKINUI_ON_CLICK(L"actionbtn", &DemoWindow::OnActionClick)
    SKINUI_ON_CLICK(L"tab0", &DemoWindow::OnTabClick)
    SKINUI_ON_CLICK(L"tab1", &DemoWindow::OnTabClick)
    SKINUI_ON_CLICK(L"tab2", &DemoWindow::OnTabClick)
    SKINUI_ON_CLICK(L"msgboxone", &DemoWindow::OnMessageBoxClick)
    SKINUI_ON_CLICK(L"msgboxtwo", &DemoWindow::OnMessageBoxClick)
    SKINUI_ON_NOTIFY(L"selectchanged", &DemoWindow::OnSelectChanged)
    SKINUI_ON_NOTIFY(L"windowinit", &DemoWindow::OnRichSectionInit)
    SKINUI_ON_NOTIFY(L"valuechanged", &DemoWindow::OnSliderChanged)
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

void DemoWindow::OnSelectChanged(SkinUI::UiNotify& msg)
{
    auto* option = msg.pSender != nullptr ? static_cast<SkinUI::COptionUI*>(msg.pSender->GetInterface(L"Option"))
                                          : nullptr;
    if (option == nullptr || !option->IsSelected() || option->GetGroup() != kPageGroup) {
        return;
    }
    const SkinUI::CUiPtrArray* pageOptions = GetManager().GetOptionGroup(kPageGroup);
    auto* pages = static_cast<SkinUI::CTabLayoutUI*>(GetManager().FindControl(L"pages"));
    if (pageOptions == nullptr || pages == nullptr) {
        return;
    }
    // The options join their group in skin order, the order of the pages.
    pages->SelectItem(pageOptions->Find(option));
}

bool DemoWindow::ShowPage(const wchar_t* name)
{
    SkinUI::CUiString optionName = SkinUI::CUiString(L"page_") + name;
    SkinUI::CControlUI* control = GetManager().FindControl(optionName);
    auto* option = control != nullptr ? static_cast<SkinUI::COptionUI*>(control->GetInterface(L"Option")) : nullptr;
    if (option == nullptr) {
        common::log("DemoWindow::ShowPage", __LINE__, L"no page option %s", optionName.GetData());
        return false;
    }
    option->Selected(true);
    return true;
}

void DemoWindow::OnMessageBoxClick(SkinUI::UiNotify& msg) { OpenMessageBox(msg.pSender->GetName() == L"msgboxtwo"); }

void DemoWindow::OpenMessageBox(bool twoButtons)
{
    // The answer goes to the card; the box runs it once it is gone.
    auto answer = [this](const wchar_t* text) {
        SkinUI::CControlUI* label = GetManager().FindControl(L"msgboxanswer");
        if (label != nullptr) {
            label->SetText(text);
        }
    };
    std::vector<msg::SelectionInfo> buttons = {msg::makeConfirmSelection([answer] { answer(L"Answered: OK"); })};
    if (!twoButtons) {
        msg::showMessageBox(GetHWND(), msg::iconPathForType(0), L"Notice", L"Your settings were saved.", buttons);
        return;
    }
    buttons.push_back(msg::SelectionInfo{L"Discard", [answer] { answer(L"Answered: Discard"); }, false});
    msg::showMessageBox(GetHWND(), msg::iconPathForType(0), L"Question", L"Keep the changes you made<n>to this page?",
                        buttons);
}

void DemoWindow::OnRichSectionInit(SkinUI::UiNotify& msg)
{
    // The rich edit's formatted text comes from an RTF file of the skin.
    SkinUI::CControlUI* control = GetManager().FindControl(L"richdemo");
    SkinUI::CRichEditUI* edit = control != nullptr
                                    ? static_cast<SkinUI::CRichEditUI*>(control->GetInterface(L"RichEdit"))
                                    : nullptr;
    DWORD size = 0;
    LPBYTE data = SkinUI::CUiManager::LoadSkinData(L"section_rich.rtf", size);
    if (edit == nullptr || data == nullptr) {
        common::log("DemoWindow::OnRichSectionInit", __LINE__, L"no rich edit or no section_rich.rtf lastError = %d",
                    0);
        delete[] data;
        return;
    }
    std::string rtf(reinterpret_cast<const char*>(data), size);
    delete[] data;
    SETTEXTEX how = {ST_DEFAULT, CP_ACP};
    edit->TxSendMessage(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(rtf.c_str()), nullptr);
    edit->HomeUp();
}

void DemoWindow::OnSliderChanged(SkinUI::UiNotify& msg)
{
    // The slider's value shows in the label beside its caption.
    SkinUI::CSliderUI* slider = static_cast<SkinUI::CSliderUI*>(msg.pSender->GetInterface(L"Slider"));
    SkinUI::CControlUI* label = GetManager().FindControl(L"slidervalue");
    if (slider != nullptr && label != nullptr) {
        label->SetText(std::to_wstring(slider->GetValue()).c_str());
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
