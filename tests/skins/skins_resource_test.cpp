// A program's resources as the build made them: the skin archive (129) with
// XML that the skin reader parses, every image it names and every language key
// it uses in all nineteen languages; the fonts archive (131) of the installer
// with nine real fonts; the icon and the manifest. Control elements are
// checked by name here; building them into windows is the programs' own test.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/sz/sz_extract.h"
#include "skinui/controls/control_elements.h"
#include "skinui/controls/gif_anim_ui.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/tab_layout_ui.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/window_impl_base.h"
#include "skinui/core/skin_builder.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/xml_reader.h"
#include "skinui/test_helpers.h"

using namespace SkinUI;

namespace {

struct CodeText {
    const wchar_t* control;
    const wchar_t* key;
    const wchar_t* tail = L"";
    const char* view = "";  // the code's view (below) that shows it; "" for every view
};

// How the code arranges a window: the controls it shows or hides and the
// attributes it sets. A view without a name is how the window always looks.
struct View {
    const wchar_t* skinFile;
    const char* name;
    std::vector<std::pair<const wchar_t*, bool>> shown;
    std::vector<std::vector<const wchar_t*>> attributes;  // control, attribute, value
};

// The message boxes' content label, as the box sets it up for its text.
const View kMessageBoxView = {L"common/xml_messagebox.xml",
                              "",
                              {},
                              {{L"descriptlabel", L"align", L"center"},
                               {L"descriptlabel", L"multiline", L"true"},
                               {L"descriptlabel", L"showhtml", L"true"}}};

struct ProgramSkin {
    const wchar_t* skinFile;
    std::vector<std::wstring> names;  // control names the program's code looks up, each as often as it occurs
    int maintabPages = 3;             // pages of its "maintab", when it has one
};

#ifdef ZUL_SKIN_PROGRAM_ZULINST
const std::vector<std::wstring> kMainNames = {
    L"logoControl", L"titlebar",       L"titleLabel2",       L"minbtn",         L"cancelBtn",     L"startBtn",
    L"maintab",     L"protocolOption", L"protocolBtn1",      L"protocolBtn2",   L"definepathBtn", L"pathDefineLayout",
    L"pathEdit",    L"chanagePathBtn", L"updateStatusLabel", L"updateprogress", L"bottom"};
const std::vector<ProgramSkin> kSkins = {
    {L"mainframe.xml", kMainNames},
    {L"mainframe_id.xml", kMainNames},
    {L"common/xml_messagebox.xml", {L"titlelabel", L"closebtn", L"msgiconimage", L"descriptlabel", L"bottombar"}},
};
// Keys the installer's code reads (the skins' own "@key" texts are checked from the XML).
const std::vector<std::wstring> kCodeKeys = {L"font_name",
                                             L"install_run_player",
                                             L"install_error1",
                                             L"install_must_accept_protocol_notice",
                                             L"prompt",
                                             L"error",
                                             L"confirm",
                                             L"url_useprotocol",
                                             L"url_hideprotocol",
                                             L"install_definepath_custom",
                                             L"install_definepath_back",
                                             L"install_failed_damaged",
                                             L"install_failed_load",
                                             L"install_failed_lock",
                                             L"install_failed_unpack",
                                             L"install_browse_title"};
const bool kHasFonts = true;
// Texts the code puts into controls: a language key and what follows it.
const std::vector<CodeText> kCodeTexts = {
    {L"startBtn", L"install_run_player"},
    {L"titlelabel", L"prompt"},
    {L"titlelabel", L"error"},
    {L"descriptlabel", L"install_must_accept_protocol_notice"},
    {L"descriptlabel", L"install_error1"},
};
const std::vector<View> kViews = {kMessageBoxView};
#elif defined(ZUL_SKIN_PROGRAM_ZULPLAY)
const std::vector<std::wstring> kMessageBoxNames = {L"titlelabel", L"closebtn", L"msgiconimage", L"descriptlabel",
                                                    L"bottombar"};
const std::vector<ProgramSkin> kSkins = {
    {L"xml_mainframe.xml",
     {L"launchBGControl",
      L"setupBtn",
      L"minbtn",
      L"maxbtnxx",
      L"closebtn",
      L"left11Control",
      L"homeBtn",
      L"facebookBtn",
      L"youtobeBtn",
      L"discordBtn",
      L"razeraduBtn",
      L"NBtn",
      L"buyBtn",
      L"left22Control",
      L"rightxxControl",
      L"rightbgControl",
      L"startBtn",
      L"startBottomControl",
      L"pathTab",
      L"pathEdit",
      L"chanagePathBtn",
      L"downloadLabel",
      L"speedLabel",
      L"leftTimeLabel",
      L"pauseBtn",
      L"downloadprogressControl",
      L"loadingSpaceControl",
      L"installprogressControl",
      L"loadingSpaceControlInstall"}},
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
const std::vector<std::wstring> kCodeKeys = {L"font_name",
                                             L"prompt",
                                             L"confirm",
                                             L"launcher_download_game",
                                             L"launcher_start_game",
                                             L"launcher_btn_installing",
                                             L"launcher_downloading",
                                             L"launcher_speed",
                                             L"launcher_lefttime",
                                             L"launcher_download_failed",
                                             L"launcher_unpack_failed",
                                             L"launcher_start_failed",
                                             L"update_window_text",
                                             L"update_currentVersion",
                                             L"update_newversion",
                                             L"update_downloading",
                                             L"update_download_failed",
                                             L"menu_showmain",
                                             L"menu_exit",
                                             L"change_restart",
                                             L"restart_now",
                                             L"restart_later",
                                             L"link_about_us_link1",
                                             L"link_about_us_link2",
                                             L"url_home",
                                             L"url_facebook",
                                             L"url_youtobe",
                                             L"url_discord",
                                             L"url_Razeradu",
                                             L"url_N",
                                             L"url_store",
                                             L"launcher_browse_title",
                                             L"launcher_tray_tip"};
const bool kHasFonts = false;
const std::vector<CodeText> kCodeTexts = {
    {L"startBtn", L"launcher_download_game"},
    {L"startBtn", L"launcher_start_game"},
    {L"startBtn", L"launcher_btn_installing"},
    {L"startBtn", L"update_window_text"},
    {L"downloadLabel", L"launcher_downloading", L"1023MB/1024MB"},
    {L"speedLabel", L"launcher_speed", L"1023KB/S"},
    {L"leftTimeLabel", L"launcher_lefttime", L"00:59:59"},
    {L"versionLabel", L"update_currentVersion", L"1.0.0"},
    {L"oldVersionLabel", L"update_currentVersion", L"1.0.0"},
    {L"updateVersionLabel", L"update_newversion", L"1.0.1"},
    {L"progressLabel", L"update_downloading", L"100%", "downloading"},
    {L"progressLabel", L"update_download_failed", L"", "failed"},
    {L"titlelabel", L"prompt"},
    {L"descriptlabel", L"change_restart"},
    {L"descriptlabel", L"launcher_download_failed"},
    {L"descriptlabel", L"launcher_unpack_failed"},
    {L"descriptlabel", L"launcher_start_failed"},
};
// The update offer while it downloads, and after a download failed.
const std::vector<View> kViews = {
    kMessageBoxView,
    {L"common/xml_messagebox_noicon.xml", "", {}, kMessageBoxView.attributes},
    {L"updateframe.xml",
     "downloading",
     {{L"updateBtn", false},
      {L"buttonSpace", false},
      {L"progressPanel", true},
      {L"progressLabel", true},
      {L"updateprogress", true},
      {L"progressGap", true}},
     {{L"progressLabel", L"multiline", L"false"}, {L"progressLabel", L"height", L"22"}}},
    {L"updateframe.xml",
     "failed",
     {{L"buttonSpace", false}, {L"progressPanel", true}, {L"progressLabel", true}, {L"progressGap", false}},
     {{L"progressLabel", L"multiline", L"true"},
      {L"progressLabel", L"height", L"60"},
      {L"progressLabel", L"font", L"0"}}},
};
#else
const std::vector<ProgramSkin> kSkins = {
    // Two "cancelBtn": the title bar's close button and the done page's Confirm.
    {L"uninstallmainframe.xml",
     {L"titlebar", L"titleLabel2", L"minbtn", L"cancelBtn", L"cancelBtn", L"maintab", L"callServicerBtn", L"sureBtn",
      L"updateStatusLabel", L"updateprogress"}},
};
const std::vector<std::wstring> kCodeKeys = {L"font_name"};
const bool kHasFonts = false;
const std::vector<CodeText> kCodeTexts = {};
const std::vector<View> kViews = {};
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
        if (c == L'\\')
            c = L'/';
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
            if (attribute == L"name")
                name = value;
            if ((attribute == L"text" || attribute == L"tooltip") && value.size() > 1 && value[0] == L'@')
                facts.keys.insert(value.substr(1));
            if (IsImageAttribute(attribute))
                facts.images.insert(ImageFile(value));
        }
        if (!name.empty()) {
            facts.names.insert(name);
            int children = 0;
            for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling())
                ++children;
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
    for (const wchar_t* name :
         {L"zul/logo.png", L"zul/tw_logo.png", L"zul/btn31_normal.png", L"zul/btn31_hot.png", L"zul/btn31_pushed.png",
          L"common/msg_noice48.png", L"common/msg_ok.png", L"commonEnalarge/msg_noice48.png", L"direct_path.png"}) {
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
    const std::set<std::wstring> expected = {
        L"NotoSans-Regular.otf", L"NanumGothic.otf", L"Roboto-Light.otf",  L"Roboto-Regular.otf", L"kr.otf",
        L"FZLANTYK_ZHONGCU.ttf", L"FZY4JW.TTF",      L"Prompt-Medium.ttf", L"Vf-Futura.ttf"};
    std::set<std::wstring> names;
    for (const auto& font : fonts)
        names.insert(font.first);
    EXPECT_EQ(expected, names);
    testutil::TempDir dir;
    for (const auto& font : fonts) {
        std::wstring path = dir.file(font.first);
        ASSERT_TRUE(testutil::writeFile(path, font.second));
        EXPECT_GT(::AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr), 0) << testutil::narrow(font.first);
        ::RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
    }
}

// A window of the program's skin built as the program builds it, on its
// language's font set, and never shown: the layout test lays it out itself.
class LayoutProbe : public WindowImplBase {
public:
    explicit LayoutProbe(const wchar_t* skin) : m_skin(skin) {}
    const wchar_t* GetWindowClassName() const override { return L"ZulLayoutProbe"; }
    CUiString GetSkinFolder() override { return L""; }
    CUiString GetSkinFile() override { return m_skin; }
    void InitWindow() override { m_pm.InitFontSet(CUiManager::GetLanguageTextA("font_name")); }

private:
    CUiString m_skin;
};

CControlUI* CALLBACK Gather(CControlUI* control, LPVOID data)
{
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

bool ShownWithAncestors(CControlUI* control)
{
    for (; control != nullptr; control = control->GetParent()) {
        if (!control->IsVisible())
            return false;
    }
    return true;
}

CTabLayoutUI* AsTab(CControlUI* control)
{
    return control != nullptr ? static_cast<CTabLayoutUI*>(control->GetInterface(L"TabLayout")) : nullptr;
}

// Where a label's text, measured as the label draws it, leaves what the
// window shows of its text rectangle; empty when it fits.
std::string Overflow(CUiManager& pm, CLabelUI* label, RECT* drawn = nullptr)
{
    const CUiString& text = label->GetText();
    if (text.IsEmpty())
        return "";
    RECT box = label->GetPos();
    const RECT pad = label->GetTextPadding();
    box = RECT{box.left + pad.left, box.top + pad.top, box.right - pad.right, box.bottom - pad.bottom};
    RECT shown = box;
    // (the window itself is left out: the code grows it to show what lies below its first size)
    for (CControlUI* up = label->GetParent(); up != nullptr && up->GetParent() != nullptr; up = up->GetParent()) {
        const RECT& outer = up->GetPos();
        ::IntersectRect(&shown, &shown, &outer);
    }
    const UINT style = label->GetTextStyle();
    const bool single = (style & DT_SINGLELINE) != 0;
    RECT used = single ? RECT{0, 0, 9999, 9999} : RECT{0, 0, box.right - box.left, 9999};
    const UINT measure = (style & ~(DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT;
    if (label->IsShowHtml()) {
        int links = 0;
        CDrawKit::DrawHtmlText(pm.GetPaintDC(), &pm, used, text, 0, nullptr, nullptr, links, label->GetFont(), measure);
    } else {
        CDrawKit::DrawText(pm.GetPaintDC(), &pm, used, text, 0, label->GetFont(), measure);
    }
    const int width = used.right - used.left, height = used.bottom - used.top;
    RECT at = box;
    if (style & DT_CENTER)
        at.left += ((box.right - box.left) - width) / 2;
    else if (style & DT_RIGHT)
        at.left = box.right - width;
    if ((style & DT_VCENTER) && (single || label->IsShowHtml()))
        at.top += ((box.bottom - box.top) - height) / 2;
    else if (style & DT_BOTTOM)
        at.top = box.bottom - height;
    at.right = at.left + width;
    at.bottom = at.top + height;
    if (drawn != nullptr)
        *drawn = at;
    if (at.left >= shown.left && at.top >= shown.top && at.right <= shown.right && at.bottom <= shown.bottom)
        return "";
    std::wstring shownText(text.GetData());
    CUiString substituted = text;
    CUiManager::ProcessLanguageText(substituted);
    char line[160];
    snprintf(line, sizeof(line), " needs %dx%d at %ld,%ld, shows %ld,%ld-%ld,%ld: ", width, height, at.left, at.top,
             shown.left, shown.top, shown.right, shown.bottom);
    return line + testutil::narrow(substituted.GetData());
}

// Every label's and button's text, the skin's own and those the code puts
// there, fits the rectangle the window shows it in: laid out as built and in
// each view the code makes of it, on each page of each tab.
TEST(SkinLayoutTest, EveryTextFitsItsControlInEveryLanguage)
{
    SetUpProgramSkin(::GetModuleHandleW(nullptr), L"en_US");
    std::set<std::string> clipped;
    for (const wchar_t* language : kLanguages) {
        CUiManager::SetLanguage(language, L"en_US");
        CUiManager::LoadZipResource(129, L"multi_language.tsv");
        for (const ProgramSkin& skin : kSkins) {
            const std::wstring file = skin.skinFile;
            if (file == L"xml_menu.xml" || file == L"trayicon.xml" || file == L"xml_loading.xml")
                continue;
            std::vector<std::string> viewNames = {""};
            for (const View& view : kViews) {
                if (file == view.skinFile && view.name[0] != '\0')
                    viewNames.push_back(view.name);
            }
            for (const std::string& viewName : viewNames) {
                LayoutProbe window(skin.skinFile);
                ASSERT_NE(nullptr, window.Create(nullptr, L"layout", WS_POPUP, 0)) << testutil::narrow(file);
                CUiManager& pm = window.GetManager();
                CControlUI* root = pm.GetRoot();
                ASSERT_NE(nullptr, root);
                const RECT client = {0, 0, pm.GetInitSize().cx, pm.GetInitSize().cy};
                for (const View& view : kViews) {
                    if (file != view.skinFile || (view.name[0] != '\0' && viewName != view.name))
                        continue;
                    for (const auto& shown : view.shown) {
                        if (CControlUI* control = pm.FindControl(shown.first))
                            control->SetVisible(shown.second);
                    }
                    for (const auto& attribute : view.attributes) {
                        if (CControlUI* control = pm.FindControl(attribute[0]))
                            control->SetAttribute(attribute[1], attribute[2]);
                    }
                }
                std::vector<CControlUI*> controls;
                root->FindControl(Gather, &controls, UIFIND_ALL);
                // Each page of each tab in turn, the others on their first page.
                std::vector<std::pair<std::string, CControlUI*>> pages = {{"", nullptr}};
                for (CControlUI* control : controls) {
                    if (CTabLayoutUI* tab = AsTab(control)) {
                        for (int i = 1; i < tab->GetCount(); ++i)
                            pages.push_back({" on page " + std::to_string(i), tab->GetItemAt(i)});
                    }
                }
                const std::string state = viewName.empty() ? "" : " (" + viewName + ")";
                auto visit = [&](const std::function<void(const std::string&)>& check) {
                    for (const auto& page : pages) {
                        if (page.second != nullptr)
                            AsTab(page.second->GetParent())
                                ->SelectItem(AsTab(page.second->GetParent())->GetItemIndex(page.second), false);
                        root->SetPos(client, false);
                        check(state + page.first);
                        if (page.second != nullptr)
                            AsTab(page.second->GetParent())->SelectItem(0, false);
                    }
                };
                auto where = [&](CControlUI* control, const std::string& at) {
                    return testutil::narrow(language) + " " + testutil::narrow(file) + " " +
                           testutil::narrow(control->GetName().GetData()) + at;
                };
                auto labelOf = [](CControlUI* control) -> CLabelUI* {
                    if (control->GetInterface(L"Edit") != nullptr)
                        return nullptr;
                    return static_cast<CLabelUI*>(control->GetInterface(L"Label"));
                };
                visit([&](const std::string& at) {
                    std::vector<std::pair<CControlUI*, RECT>> texts;
                    for (CControlUI* control : controls) {
                        CLabelUI* label = labelOf(control);
                        if (label == nullptr || !ShownWithAncestors(control))
                            continue;
                        RECT drawn = {};
                        std::string overflow = Overflow(pm, label, &drawn);
                        if (!overflow.empty())
                            clipped.insert(where(control, at) + overflow);
                        if (!label->GetText().IsEmpty())
                            texts.push_back({control, drawn});
                    }
                    // Nor does one text run into another.
                    for (size_t i = 0; i < texts.size(); ++i) {
                        for (size_t j = i + 1; j < texts.size(); ++j) {
                            RECT both;
                            if (!::IntersectRect(&both, &texts[i].second, &texts[j].second))
                                continue;
                            const RECT& a = texts[i].second;
                            const RECT& b = texts[j].second;
                            char line[160];
                            snprintf(line, sizeof(line), " at %ld,%ld-%ld,%ld runs into %ld,%ld-%ld,%ld of ", a.left,
                                     a.top, a.right, a.bottom, b.left, b.top, b.right, b.bottom);
                            clipped.insert(where(texts[i].first, at) + line +
                                           testutil::narrow(texts[j].first->GetName().GetData()));
                        }
                    }
                });
                for (const CodeText& code : kCodeTexts) {
                    if (code.view[0] != '\0' && viewName != code.view)
                        continue;
                    CUiString text = CUiManager::GetLanguageText(code.key);
                    text += code.tail;
                    std::vector<CLabelUI*> named;
                    for (CControlUI* control : controls) {
                        CLabelUI* label = labelOf(control);
                        if (label != nullptr && control->GetName() == code.control)
                            named.push_back(label);
                    }
                    std::vector<CUiString> before;
                    for (CLabelUI* label : named) {
                        before.push_back(label->GetText());
                        label->SetText(text);
                    }
                    visit([&](const std::string& at) {
                        for (CLabelUI* label : named) {
                            if (!ShownWithAncestors(label))
                                continue;
                            std::string overflow = Overflow(pm, label);
                            if (!overflow.empty())
                                clipped.insert(where(label, at) + overflow);
                        }
                    });
                    for (size_t i = 0; i < named.size(); ++i)
                        named[i]->SetText(before[i]);
                }
                ::DestroyWindow(window.GetHWND());
            }
        }
    }
    std::string report;
    for (const std::string& line : clipped)
        report += line + "\n";
    EXPECT_TRUE(clipped.empty()) << clipped.size() << " texts do not fit:\n" << report;
    CUiManager::SetLanguage(L"en_US", L"en_US");
    CUiManager::LoadZipResource(129, L"multi_language.tsv");
}

}  // namespace
