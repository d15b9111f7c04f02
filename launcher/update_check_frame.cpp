#include "launcher/update_check_frame.h"

#include "foundation/runable.h"
#include "launcher/update_model.h"
#include "skinui/controls/progress_ui.h"
#include "skinui/controls/tab_layout_ui.h"

SKINUI_BEGIN_NOTIFY_MAP(KXSpaceUpdateCheckFrame, SkinUI::WindowImplBase)
    SKINUI_ON_CLICK(L"okBtn", &KXSpaceUpdateCheckFrame::onOkBtnClicked)
SKINUI_END_NOTIFY_MAP()

void KXSpaceUpdateCheckFrame::InitWindow()
{
    const wchar_t* font = SkinUI::CUiManager::GetLanguageText(L"font_name");
    m_pm.InitFontSet(font ? font : L"Arial");
    if (auto* tab = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"maintab", L"TabLayout"))
        tab->SelectItem(0);
    timer_.start(kTickMs, new FunctionRunable([this] { onTick(); }));
    KXSpaceUpdateModel::instance().checkVersion(false);
}

void KXSpaceUpdateCheckFrame::onTick()
{
    // The bar runs from left to right while the check lasts.
    ticks_ = (ticks_ + 1) % 11;
    if (auto* bar = m_pm.FindControlAs<SkinUI::CProgressUI>(L"checkingBar", L"Progress"))
        bar->SetValue(ticks_ * 10);
}

void KXSpaceUpdateCheckFrame::showNoUpdate()
{
    timer_.stop();
    if (auto* tab = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"maintab", L"TabLayout"))
        tab->SelectItem(1);
}

void KXSpaceUpdateCheckFrame::onOkBtnClicked(SkinUI::UiNotify& msg) { Close(IDOK); }

LRESULT KXSpaceUpdateCheckFrame::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    timer_.stop();
    if (closeCallback_) {
        CloseCallback callback = closeCallback_;
        closeCallback_ = CloseCallback();
        callback();
    }
    return WindowImplBase::OnDestroy(uMsg, wParam, lParam, bHandled);
}

void KXSpaceUpdateCheckFrame::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
