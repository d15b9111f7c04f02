#include "install/kxspace_main_frame.h"

#include <objbase.h>
#include <shlobj.h>

#include "foundation/desktop_user.h"
#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/ufile.h"
#include "install/drive_choice.h"
#include "install/kxspace_model.h"
#include "msg/message_box.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/option_ui.h"
#include "skinui/controls/progress_ui.h"
#include "skinui/controls/tab_layout_ui.h"
#include "skinui/core/ui_manager.h"

namespace {

const int kStartPage = 0;
const int kInstallingPage = 1;
const int kFinishedPage = 2;
const int kPathPanelHeight = 60;
const DWORD kFailureTextColor = 0xFFE5484D;
// The folder picker: file-system folders only, with an edit box, new style.
const UINT kBrowseFlags = 0x51;

const wchar_t* languageText(const char* key) { return SkinUI::CUiManager::GetLanguageTextA(key); }

// Preselects the current install path when the folder picker opens.
int CALLBACK browseCallback(HWND hwnd, UINT message, LPARAM /*param*/, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data != 0)
        SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

SKINUI_BEGIN_NOTIFY_MAP(KXSpaceMainFrame, SkinUI::WindowImplBase)
    SKINUI_ON_CLICK(L"installnowbtn", &KXSpaceMainFrame::onInstallNow)
    SKINUI_ON_CLICK(L"tastenowbtn", &KXSpaceMainFrame::onTasteNow)
    SKINUI_ON_CLICK(L"cancelBtn", &KXSpaceMainFrame::onCancel)
    SKINUI_ON_CLICK(L"definePathBtn", &KXSpaceMainFrame::onTogglePathPanel)
    SKINUI_ON_CLICK(L"protocolBtn1", &KXSpaceMainFrame::onOpenTerms)
    SKINUI_ON_CLICK(L"protocolBtn2", &KXSpaceMainFrame::onOpenPrivacy)
    SKINUI_ON_CLICK(L"chanagePathBtn", &KXSpaceMainFrame::onBrowsePath)
    SKINUI_ON_CLICK(L"definepathBtn", &KXSpaceMainFrame::onToggleWindowHeight)
    SKINUI_ON_CLICK(L"startBtn", &KXSpaceMainFrame::onStartClicked)
    SKINUI_ON_NOTIFY_NAME(L"killfocus", L"pathEdit", &KXSpaceMainFrame::onPathEditKillFocus)
    SKINUI_ON_NOTIFY_NAME(L"selectchanged", L"protocolOption", &KXSpaceMainFrame::onProtocolChanged)
SKINUI_END_NOTIFY_MAP()

KXSpaceMainFrame::KXSpaceMainFrame(KXSpaceModel& model) : model_(model) {}

const wchar_t* KXSpaceMainFrame::GetWindowClassName() const { return L"KXZulMainFrame"; }

SkinUI::CUiString KXSpaceMainFrame::GetSkinFolder() { return L""; }

SkinUI::CUiString KXSpaceMainFrame::GetSkinFile()
{
    return model_.regionProfile().code == L"id" ? L"mainframe_id.xml" : L"mainframe.xml";
}

void KXSpaceMainFrame::InitWindow()
{
    m_pm.InitFontSet(languageText("font_name"));
    ::SetWindowTextW(m_hWnd, (std::wstring(product::kName) + L" ").c_str());
    if (SkinUI::CControlUI* edit = control(L"pathEdit"))
        edit->SetText(model_.getInstallPath().c_str());
    if (auto* option = m_pm.FindControlAs<SkinUI::COptionUI>(L"protocolOption", L"Option"))
        option->Selected(true, false);
    if (model_.getLanguage() == L"tw") {
        if (SkinUI::CControlUI* logo = control(L"logoControl"))
            logo->SetBkImage(L"zul\\tw_logo.png");
    }
    model_.setProgressCallback([this](int percent, const std::wstring& text) { onProgress(percent, text); });
}

void KXSpaceMainFrame::OnFinalMessage(HWND hWnd)
{
    SkinUI::WindowImplBase::OnFinalMessage(hWnd);
    model_.setProgressCallback(nullptr);
    delete this;
    ::PostQuitMessage(0);
}

LRESULT KXSpaceMainFrame::OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (installing_) {
        common::log("KXSpaceMainFrame::OnClose", __LINE__, L"installing, close ignored");
        bHandled = true;
        return 0;
    }
    return SkinUI::WindowImplBase::OnClose(uMsg, wParam, lParam, bHandled);
}

void KXSpaceMainFrame::startInstall()
{
    if (installing_ || installed_)
        return;
    if (auto* tabs = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"maintab", L"TabLayout"))
        tabs->SelectItem(kInstallingPage);
    if (SkinUI::CControlUI* start = control(L"startBtn"))
        start->SetVisible(false);
    if (pathPanelOpen_) {
        pathPanelOpen_ = false;
        growWindow(-kPathPanelHeight);
    }
    installing_ = model_.startInstallJob();
}

void KXSpaceMainFrame::onProgress(int percent, const std::wstring& text)
{
    if (percent == 100) {
        installing_ = false;
        installed_ = true;
        if (auto* tabs = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"maintab", L"TabLayout"))
            tabs->SelectItem(kFinishedPage);
        if (SkinUI::CControlUI* start = control(L"startBtn")) {
            start->SetText(languageText("install_run_player"));
            start->SetVisible(true);
        }
        if (!model_.getPackage().empty() || model_.isUpdateRun() || model_.isUnattendedRun())
            startLauncherAndClose();
        return;
    }
    if (percent == -1) {
        installing_ = false;
        common::log("KXSpaceMainFrame::onProgress", __LINE__, L"install failed %d %s", model_.errorCode(),
                    text.c_str());
        // The updater's silent mode, and an unattended run that nobody sees.
        if ((model_.isUpdateRun() && model_.upgrade() == 2) || model_.isUnattendedRun()) {
            Close(1);
            return;
        }
        showFailure(text);
        return;
    }
    if (auto* progress = m_pm.FindControlAs<SkinUI::CProgressUI>(L"updateprogress", L"Progress"))
        progress->SetValue(percent);
}

void KXSpaceMainFrame::showFailure(const std::wstring& key)
{
    auto* status = m_pm.FindControlAs<SkinUI::CLabelUI>(L"updateStatusLabel", L"Label");
    if (status == nullptr)
        return;
    const wchar_t* text = SkinUI::CUiManager::GetLanguageText(key.c_str());
    status->SetTextColor(kFailureTextColor);
    status->SetText(text != nullptr ? text : key.c_str());
}

bool KXSpaceMainFrame::applyPath(const std::wstring& path)
{
    if (path.size() < 2)
        return false;
    std::wstring folder = utility::ufile::withSeparator(path);
    const std::wstring productFolder = utility::ufile::withSeparator(product::kName);
    if (folder.size() == 3 || folder.find(product::kName) == std::wstring::npos)
        folder += productFolder;
    else if (KXSpaceModel::holdsOtherFiles(folder))
        // Someone else's folder: the uninstaller removes the whole install
        // folder, so never install into it directly.
        folder += productFolder;

    SkinUI::CControlUI* start = control(L"startBtn");
    if (!checkFreeSpace(folder)) {
        if (start != nullptr)
            start->SetEnabled(false);
        return false;
    }
    if (start != nullptr)
        start->SetEnabled(true);
    model_.setInstallPath(folder);
    if (SkinUI::CControlUI* edit = control(L"pathEdit"))
        edit->SetText(folder.c_str());
    return true;
}

bool KXSpaceMainFrame::checkFreeSpace(const std::wstring& path)
{
    return drivechoice::checkFreeSpace(model_.driveInfo(), path);
}

void KXSpaceMainFrame::startLauncherAndClose()
{
    model_.startLauncher(false);
    Close(1);
}

void KXSpaceMainFrame::onInstallNow(SkinUI::UiNotify& /*msg*/)
{
    if (!applyPath(pathEditText())) {
        ::MessageBoxW(m_hWnd, L"It is not right path!", L"Noice", MB_OK);
        return;
    }
    startInstall();
}

void KXSpaceMainFrame::onTasteNow(SkinUI::UiNotify& /*msg*/) { startLauncherAndClose(); }

void KXSpaceMainFrame::onCancel(SkinUI::UiNotify& /*msg*/) { Close(1); }

void KXSpaceMainFrame::onTogglePathPanel(SkinUI::UiNotify& msg)
{
    SkinUI::CControlUI* panel = control(L"pathDefineLayout");
    auto* button = msg.pSender != nullptr ? static_cast<SkinUI::CButtonUI*>(msg.pSender->GetInterface(L"Button"))
                                          : nullptr;
    if (panel == nullptr || button == nullptr)
        return;
    const bool show = !panel->IsVisible();
    panel->SetVisible(show);
    if (show) {
        button->SetText(languageText("install_definepath_back"));
        button->SetNormalImage(L"file='direct_path.png' source='24,0,36,12' corner='9,2,2,2'");
        button->SetHotImage(L"file='direct_path.png' source='36,0,48,12' corner='9,2,2,2'");
    } else {
        button->SetText(languageText("install_definepath_custom"));
        button->SetNormalImage(L"file='direct_path.png' source='0,0,12,12' corner='2,2,9,2'");
        button->SetHotImage(L"file='direct_path.png' source='12,0,24,12' corner='2,2,9,2'");
    }
    RECT padding = button->GetTextPadding();
    std::swap(padding.left, padding.right);
    button->SetTextPadding(padding);
}

void KXSpaceMainFrame::onOpenTerms(SkinUI::UiNotify& /*msg*/)
{
    utility::process::openUrlAsDesktopUser(languageText("url_useprotocol"));
}

void KXSpaceMainFrame::onOpenPrivacy(SkinUI::UiNotify& /*msg*/)
{
    utility::process::openUrlAsDesktopUser(languageText("url_hideprotocol"));
}

void KXSpaceMainFrame::onBrowsePath(SkinUI::UiNotify& /*msg*/)
{
    const std::wstring current = model_.getInstallPath();
    BROWSEINFOW info = {};
    info.hwndOwner = m_hWnd;
    info.lpszTitle = languageText("install_browse_title");
    info.ulFlags = kBrowseFlags;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(current.c_str());
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (chosen == nullptr)
        return;
    wchar_t path[MAX_PATH] = {0};
    const bool havePath = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (havePath)
        applyPath(path);
}

void KXSpaceMainFrame::onToggleWindowHeight(SkinUI::UiNotify& /*msg*/)
{
    pathPanelOpen_ = !pathPanelOpen_;
    growWindow(pathPanelOpen_ ? kPathPanelHeight : -kPathPanelHeight);
}

void KXSpaceMainFrame::growWindow(int dy)
{
    RECT rc = {};
    if (!::GetWindowRect(m_hWnd, &rc))
        return;
    ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top + dy, TRUE);
}

void KXSpaceMainFrame::onStartClicked(SkinUI::UiNotify& /*msg*/)
{
    if (installed_) {
        startLauncherAndClose();
        return;
    }
    if (!isProtocolAccepted()) {
        showWarningBox(m_hWnd, languageText("error"), languageText("install_must_accept_protocol_notice"));
        return;
    }
    // What is checked is what is installed: the field's folder, with the
    // product folder rule applied.
    if (applyPath(pathEditText())) {
        startInstall();
        return;
    }
    showNoticeBox(m_hWnd, languageText("prompt"), languageText("install_error1"));
}

void KXSpaceMainFrame::onPathEditKillFocus(SkinUI::UiNotify& /*msg*/) { applyPath(pathEditText()); }

void KXSpaceMainFrame::onProtocolChanged(SkinUI::UiNotify& /*msg*/)
{
    if (SkinUI::CControlUI* start = control(L"startBtn"))
        start->SetEnabled(isProtocolAccepted());
}

void KXSpaceMainFrame::showWarningBox(HWND parent, const std::wstring& title, const std::wstring& content)
{
    showMessageBox(parent, 2, title, content);
}

void KXSpaceMainFrame::showNoticeBox(HWND parent, const std::wstring& title, const std::wstring& content)
{
    showMessageBox(parent, 0, title, content);
}

void KXSpaceMainFrame::showMessageBox(HWND parent, int iconType, const std::wstring& title, const std::wstring& content)
{
    msg::showMessageBox(parent, msg::iconPathForType(iconType), title.c_str(), content.c_str(),
                        {msg::makeConfirmSelection(nullptr)});
}

std::wstring KXSpaceMainFrame::pathEditText()
{
    SkinUI::CControlUI* edit = control(L"pathEdit");
    return edit != nullptr ? std::wstring(edit->GetText().GetData()) : std::wstring();
}

bool KXSpaceMainFrame::isProtocolAccepted()
{
    auto* option = m_pm.FindControlAs<SkinUI::COptionUI>(L"protocolOption", L"Option");
    return option != nullptr && option->IsSelected();
}

SkinUI::CControlUI* KXSpaceMainFrame::control(const wchar_t* name) { return m_pm.FindControl(name); }
