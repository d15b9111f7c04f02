// A program's resources as the build made them: the skin archive (129) with
// XML that the skin reader parses, every image it names and every language key
// it uses in all nineteen languages; the fonts archive (131) of the installer
// with nine real fonts; the icon and the manifest. Control elements are
// checked by name here; building them into windows is the programs' own test.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/sz/sz_extract.h"
#include "skinui/controls/control_elements.h"
#include "skinui/controls/gif_anim_ui.h"
#include "skinui/core/skin_builder.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/xml_reader.h"
#include "skinui/test_helpers.h"

using namespace SkinUI;

namespace {

struct ProgramSkin {
    const wchar_t* skinFile;
    std::vector<std::wstring> names;  // control names the program's code looks up, each as often as it occurs
    int maintabPages = 3;             // pages of its "maintab", when it has one
};

#ifdef ZUL_SKIN_PROGRAM_ZULINST
const std::vector<std::wstring> kMainNames = {
    L"logoControl", L"titlebar", L"titleLabel2", L"minbtn", L"cancelBtn", L"startBtn", L"maintab",
    L"protocolOption", L"protocolBtn1", L"protocolBtn2", L"definepathBtn", L"pathDefineLayout", L"pathEdit",
    L"chanagePathBtn", L"updateStatusLabel", L"updateprogress", L"bottom"};
const std::vector<ProgramSkin> kSkins = {
    {L"mainframe.xml", kMainNames},
    {L"mainframe_id.xml", kMainNames},
    {L"common/xml_messagebox.xml", {L"titlelabel", L"closebtn", L"msgiconimage", L"descriptlabel", L"bottombar"}},
};
// Keys the installer's code reads (the skins' own "@key" texts are checked from the XML).
const std::vector<std::wstring> kCodeKeys = {
    L"font_name", L"install_run_player", L"install_error1", L"install_must_accept_protocol_notice", L"prompt",
    L"error", L"confirm", L"url_useprotocol", L"url_hideprotocol", L"install_definepath_custom",
    L"install_definepath_back", L"install_failed_damaged", L"install_failed_load", L"install_failed_lock",
    L"install_failed_unpack", L"install_browse_title"};
const bool kHasFonts = true;
#elif defined(ZUL_SKIN_PROGRAM_ZULPLAY)
const std::vector<std::wstring> kMessageBoxNames = {L"titlelabel", L"closebtn", L"msgiconimage", L"descriptlabel",
                                                    L"bottombar"};
const std::vector<ProgramSkin> kSkins = {
    {L"xml_mainframe.xml",
     {L"launchBGControl", L"setupBtn", L"minbtn", L"maxbtnxx", L"closebtn", L"left11Control", L"homeBtn",
      L"facebookBtn", L"youtobeBtn", L"discordBtn", L"razeraduBtn", L"NBtn", L"buyBtn", L"left22Control",
      L"rightxxControl", L"rightbgControl", L"startBtn", L"startBottomControl", L"pathTab", L"pathEdit",
      L"chanagePathBtn", L"downloadLabel", L"speedLabel", L"leftTimeLabel", L"pauseBtn", L"downloadprogressControl",
      L"loadingSpaceControl", L"installprogressControl", L"loadingSpaceControlInstall"}},
    {L"xm_setupframe.xml",
     {L"closebtn", L"autoRunOnOpt", L"autoRunOffOpt", L"exstgameTopOpt", L"exstgameNotTopOpt", L"closeMinOpt",
      L"closeExistOpt", L"languageCombo", L"pathEdit", L"chanagePathBtn", L"versionLabel", L"checkUpdateBtn",
      L"aboutlink1", L"aboutlink2"}},
    {L"updateframe.xml",
     {L"closebtn", L"updateVersionLabel", L"oldVersionLabel", L"contentLabel", L"progressPanel", L"progressLabel",
      L"progressGap", L"updateprogress", L"buttonSpace", L"cancelBtn", L"updateBtn"}},
    {L"updatecheckframe.xml", {L"closebtn", L"maintab", L"checkingBar", L"okBtn"}, 2},
    {L"xml_menu.xml", {L"menuListLayout"}},
    {L"trayicon.xml", {}},
    {L"xml_loading.xml", {L"loadingControl"}},
    {L"common/xml_messagebox.xml", kMessageBoxNames},
    {L"common/xml_messagebox_noicon.xml", kMessageBoxNames},
};
// Keys the launcher's code reads (the skins' own "@key" texts are checked from the XML).
const std::vector<std::wstring> kCodeKeys = {
    L"font_name", L"prompt", L"confirm", L"launcher_download_game", L"launcher_start_game",
    L"launcher_btn_installing", L"launcher_downloading", L"launcher_speed", L"launcher_lefttime",
    L"launcher_download_failed", L"launcher_unpack_failed", L"launcher_start_failed", L"update_window_text",
    L"update_currentVersion", L"update_newversion", L"update_downloading", L"update_download_failed",
    L"menu_showmain", L"menu_exit", L"change_restart", L"restart_now", L"restart_later", L"link_about_us_link1",
    L"link_about_us_link2", L"url_home", L"url_facebook", L"url_youtobe", L"url_discord", L"url_Razeradu", L"url_N",
    L"url_store", L"launcher_browse_title", L"launcher_tray_tip"};
const bool kHasFonts = false;
#else
const std::vector<ProgramSkin> kSkins = {
    // Two "cancelBtn": the title bar's close button and the done page's Confirm.
    {L"uninstallmainframe.xml", {L"titlebar", L"titleLabel2", L"minbtn", L"cancelBtn", L"cancelBtn", L"maintab",
                                 L"callServicerBtn", L"sureBtn", L"updateStatusLabel", L"updateprogress"}},
};
const std::vector<std::wstring> kCodeKeys = {L"font_name"};
const bool kHasFonts = false;
#endif

const wchar_t* const kLanguages[] = {L"en_US", L"zh_TW", L"zh_CN", L"ko_KR", L"vi_VN", L"th_TH", L"in_ID",
                                     L"ja_JP", L"ru_RU", L"pt_PT", L"es_ES", L"ar_IL", L"tr_TR", L"fr_FR",
                                     L"de_DE", L"it_IT", L"fa_IR", L"ms_MY", L"uk_UA"};

std::string Resource(int id, const wchar_t* type)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = info != nullptr ? ::LoadResource(module, info) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    return bytes != nullptr ? std::string(static_cast<const char*>(bytes), ::SizeofResource(module, info)) : "";
}

std::map<std::wstring, std::string> Unpack(int id)
{
    std::map<std::wstring, std::string> files;
    std::string archive = Resource(id, L"ZIPRES");
    EXPECT_FALSE(archive.empty()) << "resource " << id;
    SzResultCode result = SzExtractInMemory(archive.data(), static_cast<uint32_t>(archive.size()),
                                            [&](const std::wstring& name, const std::string& bytes) {
                                                files[name] = bytes;
                                            });
    EXPECT_EQ(kSzOk, result);
    return files;
}

// The file named by an image description: "file='a\b.png' ..." or a plain name.
std::wstring ImageFile(const std::wstring& description)
{
    std::wstring name = description;
    size_t at = description.find(L"file='");
    if (at != std::wstring::npos) {
        size_t end = description.find(L'\'', at + 6);
        name = description.substr(at + 6, end - at - 6);
    } else if (description.find(L'=') != std::wstring::npos) {
        return L"";
    }
    for (wchar_t& c : name) {
        if (c == L'\\') c = L'/';
    }
    return name;
}

bool IsImageAttribute(const std::wstring& name)
{
    return name.size() > 5 && name.compare(name.size() - 5, 5, L"image") == 0;
}

// Walks a parsed skin: names, "@key" texts and image files, and the element count.
struct SkinFacts {
    std::multiset<std::wstring> names;
    std::set<std::wstring> keys;
    std::set<std::wstring> images;
    std::map<std::wstring, int> childCount;  // children of each named element
};

void Collect(CXmlNode node, SkinFacts& facts)
{
    for (; node.IsValid(); node = node.GetSibling()) {
        std::wstring name;
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            std::wstring attribute = node.GetAttributeName(i);
            std::wstring value = node.GetAttributeValue(i);
            if (attribute == L"name") name = value;
            if ((attribute == L"text" || attribute == L"tooltip") && value.size() > 1 && value[0] == L'@')
                facts.keys.insert(value.substr(1));
            if (IsImageAttribute(attribute)) facts.images.insert(ImageFile(value));
        }
        if (!name.empty()) {
            facts.names.insert(name);
            int children = 0;
            for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) ++children;
            facts.childCount[name] = children;
        }
        Collect(node.GetChild(), facts);
    }
}

class SkinResourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files = new std::map<std::wstring, std::string>(Unpack(129)); }
    static void TearDownTestSuite() { delete files; }
    static std::map<std::wstring, std::string>* files;
};
std::map<std::wstring, std::string>* SkinResourceTest::files = nullptr;

TEST_F(SkinResourceTest, EverySkinParsesNamesItsControlsAndFindsItsImages)
{
    for (const ProgramSkin& skin : kSkins) {
        SCOPED_TRACE(testutil::narrow(skin.skinFile));
        auto found = files->find(skin.skinFile);
        ASSERT_NE(found, files->end());
        CXmlReader reader;
        ASSERT_TRUE(reader.LoadFromMem(reinterpret_cast<const BYTE*>(found->second.data()),
                                       static_cast<DWORD>(found->second.size())))
            << testutil::narrow(reader.GetLastErrorMessage()) << " at "
            << testutil::narrow(reader.GetLastErrorLocation());
        CXmlNode root = reader.GetRoot();
        EXPECT_STREQ(L"Window", root.GetName());
        SkinFacts facts;
        Collect(root.GetChild(), facts);
        for (const std::wstring& name : skin.names) {
            size_t listed = static_cast<size_t>(std::count(skin.names.begin(), skin.names.end(), name));
            EXPECT_EQ(listed, facts.names.count(name)) << testutil::narrow(name);
        }
        for (const std::wstring& image : facts.images) {
            EXPECT_TRUE(!image.empty() && files->count(image) == 1) << "missing image " << testutil::narrow(image);
        }
        if (facts.names.count(L"maintab")) {
            EXPECT_EQ(skin.maintabPages, facts.childCount[L"maintab"]);
        }
    }
}

TEST_F(SkinResourceTest, EveryImageIsAPngAndEveryFileIsUsed)
{
    std::set<std::wstring> referenced;
    for (const ProgramSkin& skin : kSkins) {
        CXmlReader reader;
        const std::string& xml = files->at(skin.skinFile);
        ASSERT_TRUE(reader.LoadFromMem(reinterpret_cast<const BYTE*>(xml.data()), static_cast<DWORD>(xml.size())));
        SkinFacts facts;
        Collect(reader.GetRoot().GetChild(), facts);
        referenced.insert(facts.images.begin(), facts.images.end());
    }
    for (const auto& file : *files) {
        const std::wstring& name = file.first;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, L".png") == 0) {
            EXPECT_EQ(0u, file.second.compare(0, 8, "\x89PNG\r\n\x1a\n")) << testutil::narrow(name);
        }
    }
#ifdef ZUL_SKIN_PROGRAM_ZULINST
    // Named by the program's code rather than by a skin.
    for (const wchar_t* name : {L"zul/logo.png", L"zul/tw_logo.png", L"zul/btn31_normal.png", L"zul/btn31_hot.png",
                                L"zul/btn31_pushed.png", L"common/msg_noice48.png", L"common/msg_ok.png",
                                L"commonEnalarge/msg_noice48.png", L"direct_path.png"}) {
        EXPECT_EQ(1u, files->count(name)) << testutil::narrow(name);
        referenced.insert(name);
    }
#elif defined(ZUL_SKIN_PROGRAM_ZULPLAY)
    // Named by the program's code: the game art of each region, the pause
    // button's two states and the message boxes' icons and buttons.
    std::vector<std::wstring> named = {L"common/msg_noice48.png", L"common/msg_ok.png",
                                       L"commonEnalarge/msg_noice48.png"};
    for (const wchar_t* region : {L"tw", L"cn", L"kr", L"jp", L"vn", L"th", L"pt", L"id", L"en"})
        named.push_back(std::wstring(L"zul/right_bg_") + region + L".png");
    for (const wchar_t* kind : {L"pause", L"play", L"btn31", L"cancel"}) {
        for (const wchar_t* state : {L"normal", L"hot", L"pushed"})
            named.push_back(std::wstring(L"zul/") + kind + L"_" + state + L".png");
    }
    for (const std::wstring& name : named) {
        EXPECT_EQ(1u, files->count(name)) << testutil::narrow(name);
        referenced.insert(name);
    }
#endif
    for (const auto& file : *files) {
        const std::wstring& name = file.first;
        const std::wstring extension = name.size() > 4 ? name.substr(name.size() - 4) : L"";
        bool isImage = extension == L".png" || extension == L".gif";
        EXPECT_TRUE(!isImage || referenced.count(name) == 1) << "unused image " << testutil::narrow(name);
    }
}

#ifdef ZUL_SKIN_PROGRAM_ZULPLAY
// The loading window, which no window opens: its one control, built from the
// archive, is a 500 x 500 animation that finds its frames there.
TEST_F(SkinResourceTest, TheLoadingDescriptionBuildsAnAnimationWithItsFrames)
{
    SetUpProgramSkin(::GetModuleHandleW(nullptr), L"en_US");
    CSkinBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(L"xml_loading.xml"));
    ASSERT_NE(nullptr, root);
    CGifAnimUI* gif = static_cast<CGifAnimUI*>(root->GetInterface(L"GifAnim"));
    ASSERT_NE(nullptr, gif);
    EXPECT_STREQ(L"loadingControl", gif->GetName().GetData());
    EXPECT_EQ(500, gif->GetFixedWidth());
    EXPECT_EQ(500, gif->GetFixedHeight());
    gif->DoInit();
    ASSERT_TRUE(gif->IsLoaded());
    EXPECT_EQ(12u, gif->GetFrameCount());
    for (UINT frame = 0; frame < gif->GetFrameCount(); ++frame)
        EXPECT_EQ(80u, gif->GetFrameDelayMs(frame)) << frame;
    // The first frame decodes: the ground in the middle, the top bar at its brightest.
    gif->SetPos(RECT{0, 0, 500, 500}, false);
    skintest::Canvas canvas(500, 500);
    gif->DoPaint(canvas.dc(), canvas.all(), nullptr);
    EXPECT_EQ(0x0C152Cu, canvas.Rgb(250, 250));
    EXPECT_EQ(0x62D8FFu, canvas.Rgb(250, 165));
}
#endif

TEST_F(SkinResourceTest, EveryKeyHasItsTextInAllNineteenLanguages)
{
    std::set<std::wstring> keys(kCodeKeys.begin(), kCodeKeys.end());
    for (const ProgramSkin& skin : kSkins) {
        CXmlReader reader;
        const std::string& xml = files->at(skin.skinFile);
        ASSERT_TRUE(reader.LoadFromMem(reinterpret_cast<const BYTE*>(xml.data()), static_cast<DWORD>(xml.size())));
        SkinFacts facts;
        Collect(reader.GetRoot().GetChild(), facts);
        keys.insert(facts.keys.begin(), facts.keys.end());
    }
    // The code appends numbers to some texts ("Downloading  " 12MB/80MB):
    // every language keeps the English text's blanks at its ends.
    auto blanks = [](const std::wstring& text) {
        const size_t first = text.find_first_not_of(L' '), last = text.find_last_not_of(L' ');
        return first == std::wstring::npos ? std::wstring(text.size(), L'-')
                                           : std::to_wstring(first) + L"," + std::to_wstring(text.size() - 1 - last);
    };
    std::map<std::wstring, std::wstring> english;
    CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    for (const wchar_t* language : kLanguages) {  // English first
        CUiManager::SetLanguage(language, L"en_US");
        CUiManager::LoadZipResource(129, L"multi_language.tsv");
        ASSERT_EQ(19, CUiManager::GetLanguageCount());
        for (const std::wstring& key : keys) {
            const wchar_t* text = CUiManager::GetLanguageText(key.c_str());
            ASSERT_TRUE(text != nullptr && text[0] != 0) << testutil::narrow(language) << " " << testutil::narrow(key);
            if (english.count(key) == 0)
                english[key] = text;
            EXPECT_EQ(blanks(english[key]), blanks(text)) << testutil::narrow(language) << " " << testutil::narrow(key);
        }
    }
#ifdef ZUL_SKIN_PROGRAM_ZULINST
    // The Chinese column keeps the installer's own Chinese failure texts.
    CUiManager::SetLanguage(L"zh_CN", L"en_US");
    CUiManager::LoadZipResource(129, L"multi_language.tsv");
    EXPECT_STREQ(L"解压安装包失败", CUiManager::GetLanguageText(L"install_failed_unpack"));
#endif
    CUiManager::SetLanguage(L"en_US", L"en_US");
    CUiManager::LoadZipResource(129, L"multi_language.tsv");
#ifdef ZUL_SKIN_PROGRAM_ZULINST
    EXPECT_STREQ(L"Install Now", CUiManager::GetLanguageText(L"install_startInstall"));
    EXPECT_STREQ(L"The installation package could not be unpacked.",
                 CUiManager::GetLanguageText(L"install_failed_unpack"));
    EXPECT_STREQ(L"You must accept the agreement before the installation!",
                 CUiManager::GetLanguageText(L"install_must_accept_protocol_notice"));
#elif defined(ZUL_SKIN_PROGRAM_ZULPLAY)
    EXPECT_STREQ(L"Download", CUiManager::GetLanguageText(L"launcher_download_game"));
    EXPECT_STREQ(L"Exit", CUiManager::GetLanguageText(L"menu_exit"));
#else
    EXPECT_STREQ(L"Not yet", CUiManager::GetLanguageText(L"un_think"));
    EXPECT_STREQ(L"Uninstallation Completed", CUiManager::GetLanguageText(L"uninstall_end"));
#endif
}

TEST(ProgramResourceTest, IconInEverySizeAndTheAdministratorManifest)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    for (int size : {16, 24, 32, 48, 256}) {
        HICON icon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(108), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(size, bitmap.bmWidth);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
    std::string manifest = Resource(1, MAKEINTRESOURCEW(24));
    EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""));
    EXPECT_EQ(std::string::npos, manifest.find("supportedOS"));
}

TEST(ProgramResourceTest, FontsArchiveHoldsTheNineFontsAndEachLoads)
{
    if (!kHasFonts) {
        EXPECT_TRUE(Resource(131, L"ZIPRES").empty());
        return;
    }
    std::map<std::wstring, std::string> fonts = Unpack(131);
    const std::set<std::wstring> expected = {L"NotoSans-Regular.otf", L"NanumGothic.otf", L"Roboto-Light.otf",
                                             L"Roboto-Regular.otf",   L"kr.otf",          L"FZLANTYK_ZHONGCU.ttf",
                                             L"FZY4JW.TTF",           L"Prompt-Medium.ttf", L"Vf-Futura.ttf"};
    std::set<std::wstring> names;
    for (const auto& font : fonts) names.insert(font.first);
    EXPECT_EQ(expected, names);
    testutil::TempDir dir;
    for (const auto& font : fonts) {
        std::wstring path = dir.file(font.first);
        ASSERT_TRUE(testutil::writeFile(path, font.second));
        EXPECT_GT(::AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr), 0) << testutil::narrow(font.first);
        ::RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
    }
}

}  // namespace
