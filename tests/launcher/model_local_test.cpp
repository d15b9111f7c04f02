// The launcher model's local side: config.data, language and region choice,
// the game folder and the Run value. Registry cases work below a key of
// their own, so they never meet the installer's tests in a shared prefix.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "http_test_server.h"
#include "launcher/services/config_data.h"
#include "launcher/services/zul_model.h"

namespace {

// ---------------------------------------------------------------- config.data

class ConfigDataTest : public testing::Test {
protected:
    std::wstring path() const { return dir.file(L"config.data"); }

    testutil::TempDir dir;
};

TEST_F(ConfigDataTest, SavedLineHasAllKeysInOrderAndReadsBack)
{
    KXZulSetupImpl store(path());
    store.setAutorun(false);
    store.setMinbyclose(false);
    store.setConfigversion(1005);
    ASSERT_TRUE(store.saveConfig());
    EXPECT_EQ(testutil::readFile(path()), "autorun=0|existgame=1|minbyclose=0|configversion=1005");
    EXPECT_FALSE(testutil::fileExists(path() + L".tmp"));

    KXZulSetupImpl again(path());
    ASSERT_TRUE(again.loadConfig());
    EXPECT_FALSE(again.autorun());
    EXPECT_TRUE(again.existgame());
    EXPECT_FALSE(again.minbyclose());
    EXPECT_EQ(again.configversion(), 1005);

    // A second save replaces the whole line, it does not append.
    again.setAutorun(true);
    again.setExistgame(false);
    ASSERT_TRUE(again.saveConfig());
    EXPECT_EQ(testutil::readFile(path()), "autorun=1|existgame=0|minbyclose=0|configversion=1005");
}

TEST_F(ConfigDataTest, OnlyZeroClearsAFlagAndOnlyANumberSetsTheVersion)
{
    struct Case {
        const char* content;
        bool autorun, existgame, minbyclose;
        int version;
    } cases[] = {
        {"autorun=0|existgame=1|minbyclose=0|configversion=1005", false, true, false, 1005},
        {"autorun=no", true, true, true, 1000},
        {"minbyclose=0|autorun=1|configversion=7", true, true, false, 7},
        {"configversion=", true, true, true, 1000},
        {"configversion=abc|existgame=0", true, false, true, 1000},
        {"configversion=1200abc", true, true, true, 1200},
        {"configversion=99999999999999", true, true, true, 2147483647},
        {"unknown=0|autorun|=0|existgame==0", true, true, true, 1000},
        {"autorun=0 |existgame= 0", true, true, true, 1000},
        {"autorun=0\r\n", true, true, true, 1000},
        {"\xff\xfe\x01|\x80=\x90|configversion=3", true, true, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        KXZulSetupImpl store(path());
        store.applyContent(c.content);
        EXPECT_EQ(store.autorun(), c.autorun);
        EXPECT_EQ(store.existgame(), c.existgame);
        EXPECT_EQ(store.minbyclose(), c.minbyclose);
        EXPECT_EQ(store.configversion(), c.version);
    }
}

TEST_F(ConfigDataTest, MissingEmptyOrDamagedFileKeepsTheDefaults)
{
    httptest::LogCapture log;
    KXZulSetupImpl missing(path());
    EXPECT_FALSE(missing.loadConfig());
    EXPECT_TRUE(log.contains(L"open config file error 2"));
    EXPECT_EQ(missing.formatContent(), "autorun=1|existgame=1|minbyclose=1|configversion=1000");

    ASSERT_TRUE(testutil::writeFile(path(), ""));
    KXZulSetupImpl empty(path());
    EXPECT_TRUE(empty.loadConfig());
    EXPECT_EQ(empty.formatContent(), "autorun=1|existgame=1|minbyclose=1|configversion=1000");

    ASSERT_TRUE(testutil::writeFile(path(), std::string("\0\0\0\x7f garbage", 12)));
    KXZulSetupImpl damaged(path());
    EXPECT_TRUE(damaged.loadConfig());
    EXPECT_EQ(damaged.formatContent(), "autorun=1|existgame=1|minbyclose=1|configversion=1000");

    ASSERT_TRUE(testutil::writeFile(path(), std::string(KXZulSetupImpl::kMaxFileBytes + 1, '0')));
    KXZulSetupImpl huge(path());
    EXPECT_FALSE(huge.loadConfig());
    EXPECT_EQ(huge.configversion(), 1000);
}

TEST_F(ConfigDataTest, FailedSaveLeavesTheOldFile)
{
    const std::string old = "autorun=0|existgame=0|minbyclose=0|configversion=1001";
    ASSERT_TRUE(testutil::writeFile(path(), old));
    // A folder where the temporary file would go makes the write fail.
    ASSERT_TRUE(CreateDirectoryW((path() + L".tmp").c_str(), nullptr));
    KXZulSetupImpl store(path());
    store.setConfigversion(1002);
    EXPECT_FALSE(store.saveConfig());
    EXPECT_EQ(testutil::readFile(path()), old);
}

// ------------------------------------------------------------ registry side

// A product key and a Run key of this process's own, removed afterwards.
class ModelRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = L"Software\\Norvale\\ZULModelTest\\" + std::to_wstring(GetCurrentProcessId());
        productKey = root + L"\\ZUL";
        runKey = root + L"\\Run";
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

    void writeValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
    {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(h);
    }

    // The value's text and its type and byte size; false when it is absent.
    bool readValue(const std::wstring& key, const wchar_t* name, std::wstring& value,
                   DWORD* type = nullptr, DWORD* bytes = nullptr)
    {
        wchar_t buffer[1024] = {0};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        DWORD kind = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &kind,
                         buffer, &size) != ERROR_SUCCESS)
            return false;
        value = buffer;
        if (type)
            *type = kind;
        if (bytes)
            *bytes = size;
        return true;
    }

    testutil::TempDir dir;
    KXZulSetupImpl store{dir.file(L"config.data")};
    KXZulModel model;
    std::wstring root, productKey, runKey;
};

TEST(ModelLanguage, UiLanguageMapsToShortCodeAndLongName)
{
    struct Case {
        LANGID id;
        const wchar_t* shortCode;
        const wchar_t* longName;
    } cases[] = {
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), L"cn", L"zh_CN"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), L"cn", L"zh_CN"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG), L"cn", L"zh_CN"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), L"en", L"en_US"},
        {MAKELANGID(LANG_VIETNAMESE, SUBLANG_DEFAULT), L"vn", L"vi_VN"},
        {MAKELANGID(LANG_THAI, SUBLANG_DEFAULT), L"th", L"th_TH"},
        {MAKELANGID(LANG_INDONESIAN, SUBLANG_DEFAULT), L"id", L"in_ID"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"en", L"en_US"},
        {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), L"en", L"en_US"},
    };
    for (const Case& c : cases) {
        std::wstring shortCode, longName;
        KXZulModel::languageFromLangId(c.id, shortCode, longName);
        EXPECT_EQ(shortCode, c.shortCode) << c.id;
        EXPECT_EQ(longName, c.longName) << c.id;
    }
}

TEST(ModelLanguage, LocaleSelectsItsRegionRow)
{
    struct Case {
        const wchar_t* locale;
        const wchar_t* code;
        const wchar_t* fontFile;
    } cases[] = {
        {L"zh_CN", L"cn", L"FZY4JW.TTF"},      {L"zh_TW", L"tw", L"FZLANTYK_ZHONGCU.ttf"},
        {L"pt_PT", L"pt", L"Prompt-Medium.ttf"}, {L"in_ID", L"id", L"FZY4JW.TTF"},
        {L"zh_cn", L"en", L"FZY4JW.TTF"},      {L"", L"en", L"FZY4JW.TTF"},
    };
    for (const Case& c : cases) {
        RegionProfile profile;
        KXZulModel::loadRegionProfileByLocale(c.locale, profile);
        EXPECT_EQ(profile.code, c.code) << c.locale;
        EXPECT_EQ(profile.fontFile, c.fontFile) << c.locale;
    }
}

TEST_F(ModelRegistryTest, StoredLanguageWinsButTheLongNameStaysDetected)
{
    writeValue(productKey, L"Language", L"th");
    writeValue(productKey, L"LanguageLong", L"th_TH");
    EXPECT_EQ(model.getLanguageLong(), L"US_EN");
    model.init();
    EXPECT_EQ(model.getLanguage(), L"th");
    EXPECT_EQ(model.getLanguageLong(), KXZulModel::detectLanguageLong());
    model.loadRegionProfile();
    RegionProfile profile = model.getRegionProfile();
    EXPECT_EQ(profile.code, L"th");
    EXPECT_EQ(profile.locale, L"th_TH");
    EXPECT_EQ(profile.fontFile, L"Prompt-Medium.ttf");
}

TEST_F(ModelRegistryTest, MissingOrEmptyStoredLanguageKeepsTheDetectedOne)
{
    model.loadStoredLanguage();
    EXPECT_EQ(model.getLanguage(), L"en");

    writeValue(productKey, L"Language", L"");
    model.init();
    EXPECT_EQ(model.getLanguage(), KXZulModel::detectLanguage());
}

TEST_F(ModelRegistryTest, SetLanguageStoresCodeAndLocaleForTheNextStart)
{
    model.setLanguage(L"zh_TW");
    EXPECT_EQ(model.getLanguage(), L"tw");
    EXPECT_EQ(model.getRegionProfile().locale, L"zh_TW");
    std::wstring value;
    ASSERT_TRUE(readValue(productKey, L"Language", value));
    EXPECT_EQ(value, L"tw");
    ASSERT_TRUE(readValue(productKey, L"LanguageLong", value));
    EXPECT_EQ(value, L"zh_TW");

    KXZulModel next;
    next.setRegistryKeys(productKey, runKey);
    next.loadStoredLanguage();
    EXPECT_EQ(next.getLanguage(), L"tw");
}

TEST_F(ModelRegistryTest, GameFolderComesFromPathDirElseTheDefaultIsCreated)
{
    const std::wstring fallback = dir.path() + L"game\\";
    ASSERT_FALSE(testutil::dirExists(fallback));
    model.loadPathDir();
    EXPECT_EQ(model.getPathDir(), fallback);
    EXPECT_TRUE(testutil::dirExists(fallback));

    writeValue(productKey, L"pathDir", L"");
    model.loadPathDir();
    EXPECT_EQ(model.getPathDir(), fallback);

    writeValue(productKey, L"pathDir", L"D:\\Games\\ZUL\\");
    model.loadPathDir();
    EXPECT_EQ(model.getPathDir(), L"D:\\Games\\ZUL\\");

    writeValue(productKey, L"pathDir", L"D:\\Other");
    model.loadPathDir();
    EXPECT_EQ(model.getPathDir(), L"D:\\Other\\");
}

TEST_F(ModelRegistryTest, SavedGameFolderIsLoadedAtTheNextStart)
{
    const std::wstring folder = dir.path() + L"elsewhere\\ZUL\\";
    model.savePathDir(folder);
    EXPECT_EQ(model.getPathDir(), folder);
    std::wstring value;
    ASSERT_TRUE(readValue(productKey, L"pathDir", value));
    EXPECT_EQ(value, folder);

    KXZulModel next;
    next.setAppDir(dir.path());
    next.setRegistryKeys(productKey, runKey);
    next.loadPathDir();
    EXPECT_EQ(next.getPathDir(), folder);
    EXPECT_FALSE(testutil::dirExists(dir.path() + L"game\\"));
}

TEST_F(ModelRegistryTest, AutoRunWritesTheQuotedLauncherAndDeletesIt)
{
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, runKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &h, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(h);

    model.setAutoRun(true);
    std::wstring value;
    DWORD type = 0, bytes = 0;
    ASSERT_TRUE(readValue(runKey, L"ZUL", value, &type, &bytes));
    const std::wstring expected = L"\"" + dir.path() + L"zulplay.exe\" autorun";
    EXPECT_EQ(value, expected);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, (expected.size() + 1) * sizeof(wchar_t));

    model.setAutoRun(false);
    EXPECT_FALSE(readValue(runKey, L"ZUL", value));
    model.setAutoRun(false);  // already gone: nothing to do
    EXPECT_FALSE(readValue(runKey, L"ZUL", value));
}

TEST_F(ModelRegistryTest, AutoRunNeverCreatesAMissingRunKey)
{
    model.setAutoRun(true);
    HKEY h = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, runKey.c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
    if (h)
        RegCloseKey(h);
}

}  // namespace
