#include "uninstall/kxspace_main_frame.h"

#include "foundation/desktop_user.h"
#include "foundation/log.h"
#include "skinui/controls/progress_ui.h"
#include "skinui/controls/tab_layout_ui.h"
#include "uninstall/uninstall_model.h"

using SkinUI::CControlUI;
using SkinUI::CUiString;
using SkinUI::UiNotify;

SKINUI_BEGIN_NOTIFY_MAP(KXSpaceMainFrame, SkinUI::WindowImplBase)
    SKINUI_ON_CLICK(L"sureBtn", &KXSpaceMainFrame::onSureClicked)
    SKINUI_ON_CLICK(L"cancelBtn", &KXSpaceMainFrame::onCloseClicked)
    SKINUI_ON_CLICK(L"callServicerBtn", &KXSpaceMainFrame::onCloseClicked)
    SKINUI_ON_CLICK(L"quickBackBtn", &KXSpaceMainFrame::onOpenSurvey)
SKINUI_END_NOTIFY_MAP()

namespace {

const int kRemovingPage = 1;
const int kDonePage = 2;

CControlUI* CALLBACK findByName(CControlUI* control, LPVOID name)
{
    return control->GetName() == static_cast<const wchar_t*>(name) ? control : nullptr;
}

}  // namespace

const wchar_t* KXSpaceMainFrame::GetWindowClassName() const { return L"KXSpaceMainFrame"; }

UINT KXSpaceMainFrame::GetClassStyle() const { return CS_VREDRAW | CS_HREDRAW; }

CUiString KXSpaceMainFrame::GetSkinFolder() { return CUiString(); }

CUiString KXSpaceMainFrame::GetSkinFile() { return L"uninstallmainframe.xml"; }

void KXSpaceMainFrame::InitWindow()
{
    m_pm.InitFontSet(SkinUI::CUiManager::GetLanguageTextA("font_name"));
    KXSpaceModel::instance()->setProgressCallback([this](int percent) { onUninstallProgress(percent); });
}

void KXSpaceMainFrame::OnFinalMessage(HWND hWnd)
{
    SkinUI::WindowImplBase::OnFinalMessage(hWnd);
    KXSpaceModel::instance()->setProgressCallback(nullptr);
    delete this;
    PostQuitMessage(0);
}

LRESULT KXSpaceMainFrame::OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (KXSpaceModel::instance()->isCleaning()) {
        common::log("KXSpaceMainFrame::OnClose", __LINE__, L"close ignored while the uninstall runs");
        bHandled = true;
        return 0;
    }
    bHandled = false;
    return 0;
}

CControlUI* KXSpaceMainFrame::titleCloseButton()
{
    CControlUI* titleBar = m_pm.FindControl(L"titlebar");
    return titleBar != nullptr
               ? titleBar->FindControl(findByName, const_cast<wchar_t*>(L"cancelBtn"), SkinUI::UIFIND_ALL)
               : nullptr;
}

void KXSpaceMainFrame::onSureClicked(UiNotify&)
{
    auto* tab = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"maintab", L"TabLayout");
    if (tab != nullptr)
        tab->SelectItem(kRemovingPage);
    if (!KXSpaceModel::instance()->startClean())
        return;
    if (CControlUI* close = titleCloseButton())
        close->SetEnabled(false);
}

void KXSpaceMainFrame::onCloseClicked(UiNotify&) { Close(1); }

void KXSpaceMainFrame::onOpenSurvey(UiNotify&)
{
    utility::process::openUrlAsDesktopUser(KXSpaceModel::instance()->profile().surveyForm2);
}

void KXSpaceMainFrame::onUninstallProgress(int percent)
{
    if (percent != 100) {
        auto* progress = m_pm.FindControlAs<SkinUI::CProgressUI>(L"updateprogress", L"Progress");
        if (progress != nullptr)
            progress->SetValue(percent);
        return;
    }
    auto* tab = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"maintab", L"TabLayout");
    if (tab != nullptr)
        tab->SelectItem(kDonePage);
    if (CControlUI* close = titleCloseButton())
        close->SetEnabled(true);
    if (KXSpaceModel::instance()->silent())
        Close(1);
}
