// A release made by scripts/release.sh from the test deployment, looked at
// as its users see it (tests/release/run.sh runs this program under 32-bit
// Wine, naming the release folder and the deployment's values):
//   - each program's version resource, read as Explorer reads it;
//   - the installer, unattended: the registry values and the uninstall entry
//     carry the version and the publisher;
//   - the settings window of the launcher it started shows the version. The
//     shipped launcher answers no control query, so the test clicks where
//     its skin puts the settings button and reads what the window drew from
//     Wine's trace of DrawTextExW (WINEDEBUG's "text" channel, which this
//     process turns on for the programs it starts, written to the file
//     ZUL_RELEASE_TRACE names).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "common/ui_driver.h"
#include "install_traces.h"

namespace {

const DWORD kWait = 120000;  // programs start slowly under emulated 32-bit Wine

std::wstring environment(const wchar_t* name)
{
    wchar_t value[1024] = L"";
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? value : L"";
}

// A Linux path as Wine names it.
std::wstring windowsPath(const std::wstring& unixPath)
{
    std::wstring path = L"Z:" + unixPath;
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

// Looks for a text in what other processes append to a file, reading only
// what came since the last look (the trace grows while the programs draw).
class GrowingFile {
public:
    explicit GrowingFile(const std::wstring& path) : path_(path) {}
    bool contains(const std::string& text)
    {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        LARGE_INTEGER at;
        at.QuadPart = offset_;
        std::string fresh;
        char buffer[65536];
        DWORD read = 0;
        if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
            while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
                fresh.append(buffer, read);
        }
        CloseHandle(file);
        offset_ += fresh.size();
        const std::string window = carry_ + fresh;
        if (window.find(text) != std::string::npos)
            return true;
        carry_ = window.size() > text.size() ? window.substr(window.size() - text.size()) : window;
        return false;
    }

private:
    std::wstring path_;
    long long offset_ = 0;
    std::string carry_;
};

struct Version {
    unsigned pieces[4] = {0, 0, 0, 0};
};

// "2.3.4" or "2.3.4.5".
bool parseVersion(const std::wstring& text, Version& version)
{
    int read = swscanf(text.c_str(), L"%u.%u.%u.%u", &version.pieces[0], &version.pieces[1], &version.pieces[2],
                       &version.pieces[3]);
    return read == 3 || read == 4;
}

class Release : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        ASSERT_FALSE(releaseDir.empty()) << "ZUL_RELEASE_DIR names no release (tests/release/run.sh runs this test)";
        ASSERT_TRUE(parseVersion(versionText, version)) << testutil::narrow(versionText);
        ASSERT_FALSE(publisher.empty());
        insttest::removeInstallTraces();
    }
    void TearDown() override { CoUninitialize(); }

    const std::wstring releaseDir = environment(L"ZUL_RELEASE_DIR").empty()
                                        ? L""
                                        : windowsPath(environment(L"ZUL_RELEASE_DIR")) + L"\\";
    const std::wstring versionText = environment(L"ZUL_RELEASE_VERSION");
    const std::wstring publisher = environment(L"ZUL_RELEASE_PUBLISHER");
    Version version;
};

TEST_F(Release, EveryProgramCarriesTheVersionAndThePublisher)
{
    const struct {
        const wchar_t* file;
        const wchar_t* description;
    } programs[] = {{L"zulinst.exe", L"ZUL installer"},
                    {L"zulplay.exe", L"ZUL launcher"},
                    {L"zulplayuninst.exe", L"ZUL uninstaller"}};
    for (const auto& program : programs) {
        SCOPED_TRACE(testutil::narrow(program.file));
        const std::wstring path = releaseDir + program.file;
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
        ASSERT_NE(0u, size) << "no version resource, error " << GetLastError();
        std::vector<BYTE> data(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(MAKELONG(version.pieces[1], version.pieces[0]), fixed->dwFileVersionMS);
        EXPECT_EQ(MAKELONG(version.pieces[3], version.pieces[2]), fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
        EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

        // The strings of the first language the resource lists, as Explorer finds them.
        struct Translation {
            WORD language, codePage;
        }* translation = nullptr;
        ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                   &length));
        ASSERT_GE(length, sizeof(Translation));
        wchar_t block[64];
        swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
        const auto text = [&](const wchar_t* name) {
            wchar_t* value = nullptr;
            UINT chars = 0;
            const std::wstring query = block + std::wstring(name);
            if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars) || !value)
                return std::wstring(L"(missing)");
            return std::wstring(value);
        };
        EXPECT_EQ(versionText, text(L"FileVersion"));
        EXPECT_EQ(versionText, text(L"ProductVersion"));
        EXPECT_EQ(publisher, text(L"CompanyName"));
        EXPECT_EQ(L"ZUL", text(L"ProductName"));
        EXPECT_EQ(program.description, text(L"FileDescription"));
        EXPECT_EQ(program.file, text(L"OriginalFilename"));
        EXPECT_EQ(L"Copyright \u00A9 " + publisher, text(L"LegalCopyright"));
    }
}

TEST_F(Release, InstalledVersionShowsInTheUninstallEntryAndTheSettingsWindow)
{
    const std::wstring trace = windowsPath(environment(L"ZUL_RELEASE_TRACE"));
    ASSERT_NE(L"Z:", trace) << "ZUL_RELEASE_TRACE names no trace file";
    testutil::TempDir temp;
    const std::wstring installPath = temp.path() + L"Games\\ZUL\\";
    {
        // The programs started from here trace the text they draw.
        testutil::ScopedEnvironmentVariable debug(L"WINEDEBUG", L"-all,err+virtual,trace+text");
        uidriver::Program installer(releaseDir + L"zulinst.exe", L"from=install|path=" + temp.path() + L"Games");
        DWORD exitCode = 0;
        ASSERT_TRUE(installer.waitForExit(kWait, &exitCode)) << "the installer did not end";
        EXPECT_EQ(1u, exitCode);
    }

    wchar_t registryForm[16];
    swprintf(registryForm, 16, L"%02u%02u%02u", version.pieces[0], version.pieces[1], version.pieces[2]);
    const struct {
        HKEY root;
        const wchar_t *key, *name;
        std::wstring value;
    } expected[] = {
        {HKEY_CURRENT_USER, insttest::kProductKey, L"InstallDir", installPath},
        {HKEY_CURRENT_USER, insttest::kProductKey, L"Version", registryForm},
        {HKEY_LOCAL_MACHINE, insttest::kUninstallKey, L"DisplayVersion", versionText},
        {HKEY_LOCAL_MACHINE, insttest::kUninstallKey, L"Publisher", publisher},
        {HKEY_LOCAL_MACHINE, insttest::kUninstallKey, L"DisplayName", L"ZUL"},
    };
    for (const auto& e : expected) {
        std::wstring value;
        EXPECT_TRUE(insttest::readRegString(e.root, e.key, e.name, value)) << testutil::narrow(e.name);
        EXPECT_EQ(e.value, value) << testutil::narrow(e.name);
    }

    // The launcher the installer started, once its tray icon is in place.
    HWND main = uidriver::waitForWindow(L"KXZULMainFrame", 0, kWait);
    ASSERT_NE(nullptr, main) << "the installer started no launcher";
    const std::wstring log = installPath + L"log\\main.log";
    EXPECT_TRUE(testutil::pumpUntil(
        [&] { return contains(testutil::widen(testutil::readFile(log)), L"addTrayIcon sucess"); }, kWait))
        << testutil::readFile(log);

    // Its settings button: the third 44-pixel button from the right of the
    // 56-pixel title bar, whose right inset is 8 (skins/zulplay/xml_mainframe.xml).
    HWND setup = nullptr;
    for (int attempt = 0; attempt < 3 && !setup; ++attempt) {
        RECT frame = {};
        ASSERT_TRUE(GetWindowRect(main, &frame));
        uidriver::bringToFront(main);
        uidriver::clickAt({frame.right - 8 - 44 - 44 - 22, frame.top + 28});
        setup = uidriver::waitForWindow(L"KXZulSetupFrame", 0, 20000);
    }
    ASSERT_NE(nullptr, setup) << "clicking the settings button opened no settings window";
    // Wine traces the drawn text as L"...".
    const std::string shown = "L\"Current version: " + testutil::narrow(versionText) + "\"";
    GrowingFile traced(trace);
    EXPECT_TRUE(testutil::pumpUntil([&] { return traced.contains(shown); }, 30000))
        << "the settings window drew no " << shown;
    testutil::pumpFor(500);
    uidriver::screenshot(setup, L"release_settings");
}

}  // namespace
