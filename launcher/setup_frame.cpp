#include "launcher/setup_frame.h"

#include "foundation/desktop_user.h"
#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "launcher/folder_dialog.h"
#include "launcher/launcher_rules.h"
#include "launcher/services/config_data.h"
#include "launcher/services/zul_model.h"
#include "msg/message_box.h"
#include "skinui/controls/combo_ui.h"
#include "skinui/controls/list_element_ui.h"
#include "skinui/controls/option_ui.h"
#include "skinui/core/draw_kit.h"
#include "zul_deployment.h"

#include <map>
#include <memory>

using SkinUI::CControlUI;
using SkinUI::CUiManager;
using SkinUI::UiNotify;

SKINUI_BEGIN_NOTIFY_MAP(KXZulSetupFrame, SkinUI::WindowImplBase)
    SKINUI_ON_NOTIFY_NAME(L"selectchanged", L"autoRunOnOpt", &KXZulSetupFrame::onAutoRunChanged)
    SKINUI_ON_NOTIFY_NAME(L"selectchanged", L"autoRunOffOpt", &KXZulSetupFrame::onAutoRunChanged)
    SKINUI_ON_NOTIFY_NAME(L"selectchanged", L"exstgameTopOpt", &KXZulSetupFrame::onExistGameChanged)
    SKINUI_ON_NOTIFY_NAME(L"selectchanged", L"exstgameNotTopOpt", &KXZulSetupFrame::onExistGameChanged)
    SKINUI_ON_NOTIFY_NAME(L"selectchanged", L"closeMinOpt", &KXZulSetupFrame::onCloseModeChanged)
    SKINUI_ON_NOTIFY_NAME(L"selectchanged", L"closeExistOpt", &KXZulSetupFrame::onCloseModeChanged)
    SKINUI_ON_NOTIFY_NAME(L"itemselect", L"languageCombo", &KXZulSetupFrame::onLanguageSelected)
    SKINUI_ON_CLICK(L"chanagePathBtn", &KXZulSetupFrame::onChangePathClicked)
    SKINUI_ON_CLICK(L"checkUpdateBtn", &KXZulSetupFrame::onCheckUpdateClicked)
    SKINUI_ON_CLICK(L"aboutlink1", &KXZulSetupFrame::onAboutLinkClicked)
    SKINUI_ON_CLICK(L"aboutlink2", &KXZulSetupFrame::onAboutLinkClicked)
SKINUI_END_NOTIFY_MAP()

const wchar_t KXZulSetupFrame::kVersion[] = ZUL_VERSION_TEXT;
const wchar_t* const KXZulSetupFrame::kLocales[kLocaleCount] = {L"vi_VN", L"en_US", L"zh_CN", L"th_TH", L"in_ID"};

namespace {

const wchar_t* text(const wchar_t* key)
{
    const wchar_t* found = CUiManager::GetLanguageText(key);
    return found ? found : key;
}

// The option's new state, when the notification is about its selection.
bool selectedOption(const UiNotify& msg)
{
    SkinUI::COptionUI* option = msg.pSender ? static_cast<SkinUI::COptionUI*>(msg.pSender->GetInterface(L"Option"))
                                            : nullptr;
    return option && option->IsSelected();
}

// Each language's face: the "font_name" row of the language table the texts
// come from (the one beside the program, else the skin's), by the column of
// the language's code in its first row.
std::map<std::wstring, std::wstring> languageFaces()
{
    std::map<std::wstring, std::wstring> faces;
    DWORD size = 0;
    std::unique_ptr<BYTE[]> bytes =
        utility::ufile::readWholeFile(std::wstring(CUiManager::GetInstancePath()) + L"multi_language.tsv", size);
    if (!bytes)
        bytes.reset(CUiManager::LoadSkinData(L"multi_language.tsv", size));
    if (!bytes)
        return faces;
    const std::wstring table = utility::ustring::fromUtf8(std::string(reinterpret_cast<char*>(bytes.get()), size));
    std::vector<std::wstring> codes;
    for (const std::wstring& row : utility::ustring::splitToVector(table, L"\n")) {
        std::vector<std::wstring> cells = utility::ustring::splitToVector(row, L"\t");
        if (!cells.empty() && !cells.back().empty() && cells.back().back() == L'\r')
            cells.back().pop_back();
        if (codes.empty()) {
            codes = cells;
        } else if (cells.size() > 1 && cells[1] == L"font_name") {
            for (size_t i = 2; i < cells.size() && i < codes.size(); ++i)
                faces[codes[i]] = cells[i];
            break;
        }
    }
    return faces;
}

// A row of the language list drawn in its own language's face: every name
// shows in its own script, whatever the window's language.
class LanguageRowUI : public SkinUI::CListLabelElementUI {
public:
    explicit LanguageRowUI(int font) : font_(font) {}
    void DrawItemTextInColor(HDC hDC, const RECT& rc, DWORD color) override
    {
        SkinUI::UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
        if (m_sText.IsEmpty() || info == nullptr)
            return;
        RECT text = {rc.left + info->rcTextPadding.left, rc.top + info->rcTextPadding.top,
                     rc.right - info->rcTextPadding.right, rc.bottom - info->rcTextPadding.bottom};
        SkinUI::CDrawKit::DrawText(hDC, m_pManager, text, m_sText, color, font_, info->uTextStyle);
    }

private:
    int font_;
};

// The fonts of the language list's rows (beyond the skin's own ids), shared: the
// list drops down in a window of its own.
const int kLanguageRowFont = 40;

}  // namespace

KXZulSetupFrame::KXZulSetupFrame(const Callback& onClosed, const Callback& onCheckUpdate, const Callback& onPathChanged,
                                 const Callback& onOther)
    : onClosed_(onClosed), onCheckUpdate_(onCheckUpdate), onPathChanged_(onPathChanged), onOther_(onOther)
{
}

std::vector<KXZulSetupFrame::LanguageItem> KXZulSetupFrame::languageItems()
{
    std::vector<LanguageItem> items;
    const int count = CUiManager::GetLanguageCount();
    for (int i = 0; i < count; ++i) {
        const wchar_t* locale = CUiManager::GetLanguageEntry(i, false);
        const wchar_t* name = CUiManager::GetLanguageEntry(i, true);
        if (!locale || !name)
            continue;
        for (const wchar_t* offered : kLocales) {
            if (wcscmp(locale, offered) == 0) {
                items.push_back({name, locale});
                break;
            }
        }
    }
    return items;
}

void KXZulSetupFrame::InitWindow()
{
    m_pm.InitFontSet(text(L"font_name"));
    const KXZulSetupImpl& setup = KXZulSetupImpl::instance();
    showFlag(L"autoRunOnOpt", L"autoRunOffOpt", setup.autorun());
    showFlag(L"exstgameTopOpt", L"exstgameNotTopOpt", setup.existgame());
    showFlag(L"closeMinOpt", L"closeExistOpt", setup.minbyclose());
    if (CControlUI* path = m_pm.FindControl(L"pathEdit"))
        path->SetText(zulModel().getPathDir().c_str());
    if (CControlUI* version = m_pm.FindControl(L"versionLabel"))
        version->SetText((std::wstring(text(L"update_currentVersion")) + kVersion).c_str());
    fillLanguages();
}

void KXZulSetupFrame::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    const Callback closed = onClosed_;
    delete this;
    if (closed)
        closed();
}

void KXZulSetupFrame::showFlag(const wchar_t* onOption, const wchar_t* offOption, bool on)
{
    auto* option = m_pm.FindControlAs<SkinUI::COptionUI>(on ? onOption : offOption, L"Option");
    if (option)
        option->Selected(true, false);
}

void KXZulSetupFrame::fillLanguages()
{
    auto* combo = m_pm.FindControlAs<SkinUI::CComboUI>(L"languageCombo", L"Combo");
    if (!combo)
        return;
    const std::wstring current = zulModel().getRegionProfile().locale;
    int selected = -1;
    const std::map<std::wstring, std::wstring> faces = languageFaces();
    const SkinUI::UiListInfo* list = combo->GetListInfo();
    const SkinUI::UiFontInfo* itemFont = m_pm.GetFontInfo(list != nullptr ? list->nFont : -1);
    int font = kLanguageRowFont;
    for (const LanguageItem& item : languageItems()) {
        auto face = faces.find(item.locale);
        int rowFont = list != nullptr ? list->nFont : -1;
        if (face != faces.end() && !face->second.empty() &&
            m_pm.AddFont(font, face->second.c_str(), itemFont->iSize, itemFont->bBold, false, false, true) != nullptr)
            rowFont = font++;
        SkinUI::CListLabelElementUI* row = new LanguageRowUI(rowFont);
        row->SetText(item.name.c_str());
        row->SetUserData(item.locale.c_str());
        if (item.locale == current)
            selected = combo->GetCount();
        combo->Add(row);
    }
    if (selected >= 0)
        combo->SelectItem(selected, false, false);
}

void KXZulSetupFrame::onAutoRunChanged(UiNotify& msg)
{
    if (!selectedOption(msg))
        return;
    const bool on = msg.pSender->GetName() == L"autoRunOnOpt";
    common::log("KXZulSetupFrame::onAutoRunChanged", __LINE__, L"autorun %d", on ? 1 : 0);
    zulModel().setAutoRun(on);
    KXZulSetupImpl& setup = KXZulSetupImpl::instance();
    setup.setAutorun(on);
    setup.saveConfig();
}

void KXZulSetupFrame::onExistGameChanged(UiNotify& msg)
{
    if (!selectedOption(msg))
        return;
    const bool on = msg.pSender->GetName() == L"exstgameTopOpt";
    common::log("KXZulSetupFrame::onExistGameChanged", __LINE__, L"existgame %d", on ? 1 : 0);
    KXZulSetupImpl& setup = KXZulSetupImpl::instance();
    setup.setExistgame(on);
    setup.saveConfig();
}

void KXZulSetupFrame::onCloseModeChanged(UiNotify& msg)
{
    if (!selectedOption(msg))
        return;
    const bool on = msg.pSender->GetName() == L"closeMinOpt";
    common::log("KXZulSetupFrame::onCloseModeChanged", __LINE__, L"minbyclose %d", on ? 1 : 0);
    KXZulSetupImpl& setup = KXZulSetupImpl::instance();
    setup.setMinbyclose(on);
    setup.saveConfig();
}

void KXZulSetupFrame::onLanguageSelected(UiNotify& msg)
{
    auto* combo = m_pm.FindControlAs<SkinUI::CComboUI>(L"languageCombo", L"Combo");
    if (!combo || combo->GetCurSel() < 0)
        return;
    const std::wstring locale = combo->GetItemAt(combo->GetCurSel())->GetUserData().GetData();
    if (locale.empty() || locale == zulModel().getRegionProfile().locale) {
        common::log("KXZulSetupFrame::onLanguageSelected", __LINE__, L"language %s kept", locale.c_str());
        return;
    }
    zulModel().setLanguage(locale);
    askRestart();
}

void KXZulSetupFrame::askRestart()
{
    msg::SelectionInfo now;
    now.text = text(L"restart_now");
    now.callback = [] {
        common::log("KXZulSetupFrame::askRestart", __LINE__, L"restart now");
        zulModel().setRestart(true);
        ::PostQuitMessage(0);
    };
    msg::SelectionInfo later;
    later.text = text(L"restart_later");
    later.primary = false;
    msg::showMessageBox(m_hWnd, msg::iconPathForType(2), text(L"prompt"), text(L"change_restart"), {now, later});
}

void KXZulSetupFrame::onChangePathClicked(UiNotify& msg)
{
    const std::wstring chosen = view::browseForFolder(m_hWnd, zulModel().getPathDir());
    const std::wstring folder = rules::gameFolderFromChoice(chosen, product::kName);
    if (folder.empty()) {
        common::log("KXZulSetupFrame::onChangePathClicked", __LINE__, L"no folder chosen [%s]", chosen.c_str());
        return;
    }
    common::log("KXZulSetupFrame::onChangePathClicked", __LINE__, L"game folder %s", folder.c_str());
    zulModel().savePathDir(folder);
    if (onPathChanged_)
        onPathChanged_();
    if (CControlUI* path = m_pm.FindControl(L"pathEdit"))
        path->SetText(folder.c_str());
}

void KXZulSetupFrame::onCheckUpdateClicked(UiNotify& msg)
{
    if (onCheckUpdate_)
        onCheckUpdate_();
}

void KXZulSetupFrame::onAboutLinkClicked(UiNotify& msg)
{
    const wchar_t* key = msg.pSender->GetName() == L"aboutlink1" ? L"link_about_us_link1" : L"link_about_us_link2";
    const std::wstring url = text(key);
    common::log("KXZulSetupFrame::onAboutLinkClicked", __LINE__, L"open %s", url.c_str());
    utility::process::openUrlAsDesktopUser(url);
}
