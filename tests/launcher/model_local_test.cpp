// The launcher model's local side: config.data, language and region choice,
// the game folder and the Run value. Registry cases work below a key of
// their own, so they never meet the installer's tests in a shared prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/test_util.h"
#include "launcher/services/config_data.h"
#include "launcher/services/zul_model.h"
#include "launcher_test_util.h"

namespace {

const char kDefaults[] = "autorun=1|existgame=1|minbyclose=1|configversion=1000";

class ConfigDataTest : public testing::Test {
protected:
    testutil::TempDir dir;
    const std::wstring path = dir.file(L"config.data");
};

TEST_F(ConfigDataTest, SavedLineReadsBackAndAFailedSaveKeepsTheOldFile)
{
    KXZulSetupImpl store(path);
    store.setAutorun(false);
    store.setConfigversion(1005);
    ASSERT_TRUE(store.saveConfig());
    EXPECT_EQ(testutil::readFile(path), "autorun=0|existgame=1|minbyclose=1|configversion=1005");
    EXPECT_FALSE(testutil::fileExists(path + L".tmp"));
    KXZulSetupImpl again(path);
    ASSERT_TRUE(again.loadConfig());
    EXPECT_EQ(again.formatContent(), testutil::readFile(path));

    // A folder where the temporary file would go makes the write fail.
    ASSERT_TRUE(CreateDirectoryW((path + L".tmp").c_str(), nullptr));
    again.setExistgame(false);
    EXPECT_FALSE(again.saveConfig());
    EXPECT_EQ(testutil::readFile(path), "autorun=0|existgame=1|minbyclose=1|configversion=1005");
}

TEST_F(ConfigDataTest, OnlyZeroClearsAFlagAndOnlyANumberSetsTheVersion)
{
    const char* cases[][2] = {
        {"minbyclose=0|autorun=no|configversion=7", "autorun=1|existgame=1|minbyclose=0|configversion=7"},
        {"configversion=abc|existgame=0", "autorun=1|existgame=0|minbyclose=1|configversion=1000"},
        {"configversion=1200abc", "autorun=1|existgame=1|minbyclose=1|configversion=1200"},
        {"configversion=99999999999999", "autorun=1|existgame=1|minbyclose=1|configversion=2147483647"},
        {"unknown=0|autorun|=0|existgame==0|minbyclose= 0", kDefaults},
    };
    for (const auto& c : cases) {
        KXZulSetupImpl store(path);
        store.applyContent(c[0]);
        EXPECT_EQ(store.formatContent(), c[1]) << c[0];
    }
}

TEST_F(ConfigDataTest, MissingDamagedOrHugeFileKeepsTheDefaults)
{
    launchertest::LogCapture log;
    KXZulSetupImpl missing(path);
    EXPECT_FALSE(missing.loadConfig());
    EXPECT_TRUE(log.contains(L"open config file error 2"));
    EXPECT_EQ(missing.formatContent(), kDefaults);
    const std::string bad[] = {std::string("\0\0\0\x7f garbage\xff|\x80=", 16),
                               std::string(KXZulSetupImpl::kMaxFileBytes + 1, '0')};
    for (const std::string& content : bad) {
        ASSERT_TRUE(testutil::writeFile(path, content));
        KXZulSetupImpl store(path);
        store.loadConfig();
        EXPECT_EQ(store.formatContent(), kDefaults);
    }
}

std::vector<std::pair<UINT, DWORD>> g_filterCalls;
BOOL WINAPI recordFilterCall(UINT message, DWORD flag)
{
    g_filterCalls.push_back({message, flag});
    return TRUE;
}

// The elevated launcher lets lower-integrity senders reach it: its IPC
// messages, and the shell's "TaskbarCreated", without which the tray icon
// stays away after the shell restarted.
TEST(ModelMessageFilter, IpcMessagesAndTaskbarCreatedAreLetThrough)
{
    g_filterCalls.clear();
    KXZulModel::addMessage(recordFilterCall);
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_NE(0u, taskbarCreated);
    for (UINT message : {UINT(WM_COPYDATA), UINT(WM_USER), 9111u, 9222u, 9333u, 9334u, taskbarCreated}) {
        const std::pair<UINT, DWORD> allowed(message, 1);  // MSGFLT_ADD
        EXPECT_EQ(1, std::count(g_filterCalls.begin(), g_filterCalls.end(), allowed)) << message;
    }
}

TEST(ModelLanguage, UiLanguageAndLocaleChooseTheRegion)
{
    std::wstring shortCode, longName;
    KXZulModel::languageFromLangId(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), shortCode, longName);
    EXPECT_EQ(shortCode + L" " + longName, L"cn zh_CN");
    KXZulModel::languageFromLangId(MAKELANGID(LANG_INDONESIAN, SUBLANG_DEFAULT), shortCode, longName);
    EXPECT_EQ(shortCode + L" " + longName, L"id in_ID");
    KXZulModel::languageFromLangId(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), shortCode, longName);
    EXPECT_EQ(shortCode + L" " + longName, L"en en_US");

    const wchar_t* rows[][2] = {{L"zh_TW", L"tw FZLANTYK_ZHONGCU.ttf"},
                                {L"zh_cn", L"en FZY4JW.TTF"},
                                {L"", L"en FZY4JW.TTF"}};
    for (const auto& row : rows) {
        RegionProfile profile;
        KXZulModel::loadRegionProfileByLocale(row[0], profile);
        EXPECT_EQ(profile.code + L" " + profile.fontFile, row[1]);
    }
}

// A product key and a Run key of this process's own, removed afterwards.
class ModelRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
        model.setAppDir(dir.path());
        model.setRegistryKeys(productKey, runKey);
        // An address curl refuses at once: the worker ends without the network.
        model.setConfigHost("nohost://config");
        model.setRetryPauseMs(10);
        model.setSetupStore(&store);
    }
    void TearDown() override
    {
        model.stop();
        RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, root.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Norvale\\ZULModelTest");  // when empty
    }

    void write(const wchar_t* name, const std::wstring& value)
    {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, productKey.c_str(), name, REG_SZ, value.c_str(),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    // The value's text ("<absent>" when missing); bytes gets its stored size.
    std::wstring read(const std::wstring& key, const wchar_t* name, DWORD* bytes = nullptr)
    {
        wchar_t buffer[1024] = {0};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return L"<absent>";
        if (bytes)
            *bytes = size;
        return buffer;
    }

    testutil::TempDir dir;
    KXZulSetupImpl store{dir.file(L"config.data")};
    KXZulModel model;
    const std::wstring root = L"Software\\Norvale\\ZULModelTest\\" + std::to_wstring(GetCurrentProcessId());
    const std::wstring productKey = root + L"\\ZUL";
    const std::wstring runKey = root + L"\\Run";
};

TEST_F(ModelRegistryTest, StoredLanguageWinsButTheLongNameStaysDetected)
{
    write(L"Language", L"");
    model.loadStoredLanguage();
    EXPECT_EQ(model.getLanguage(), L"en");  // an empty value keeps the current one

    write(L"Language", L"th");
    write(L"LanguageLong", L"th_TH");
    model.init();
    EXPECT_EQ(model.getLanguage(), L"th");
    EXPECT_EQ(model.getLanguageLong(), KXZulModel::detectLanguageLong());
    model.loadRegionProfile();
    EXPECT_EQ(model.getRegionProfile().locale, L"th_TH");
    EXPECT_EQ(model.getRegionProfile().fontFile, L"Prompt-Medium.ttf");
}

TEST_F(ModelRegistryTest, SetLanguageStoresCodeAndLocaleForTheNextStart)
{
    model.setLanguage(L"zh_TW");
    EXPECT_EQ(model.getLanguage(), L"tw");
    EXPECT_EQ(read(productKey, L"Language"), L"tw");
    EXPECT_EQ(read(productKey, L"LanguageLong"), L"zh_TW");
    KXZulModel next;
    next.setRegistryKeys(productKey, runKey);
    next.loadStoredLanguage();
    EXPECT_EQ(next.getLanguage(), L"tw");
}

TEST_F(ModelRegistryTest, GameFolderComesFromPathDirElseTheDefaultIsCreated)
{
    const std::wstring fallback = dir.path() + L"game\\";
    write(L"pathDir", L"");
    model.loadPathDir();
    EXPECT_EQ(model.getPathDir(), fallback);
    EXPECT_TRUE(testutil::dirExists(fallback));

    write(L"pathDir", L"D:\\Other");
    model.loadPathDir();
    EXPECT_EQ(model.getPathDir(), L"D:\\Other\\");

    const std::wstring folder = dir.path() + L"elsewhere\\ZUL\\";
    model.savePathDir(folder);
    EXPECT_EQ(read(productKey, L"pathDir"), folder);
    KXZulModel next;
    next.setAppDir(dir.path());
    next.setRegistryKeys(productKey, runKey);
    next.loadPathDir();
    EXPECT_EQ(next.getPathDir(), folder);
}

TEST_F(ModelRegistryTest, AutoRunWritesTheQuotedLauncherAndDeletesIt)
{
    model.setAutoRun(true);  // a missing Run key is never created
    HKEY h = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, runKey.c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, runKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(h);

    model.setAutoRun(true);
    const std::wstring expected = L"\"" + dir.path() + L"zulplay.exe\" autorun";
    DWORD bytes = 0;
    EXPECT_EQ(read(runKey, L"ZUL", &bytes), expected);
    EXPECT_EQ(bytes, (expected.size() + 1) * sizeof(wchar_t));
    model.setAutoRun(false);
    EXPECT_EQ(read(runKey, L"ZUL"), L"<absent>");
}

}  // namespace
