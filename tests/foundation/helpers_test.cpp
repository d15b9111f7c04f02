#include <gtest/gtest.h>

#include "common/stand_in_desktop.h"
#include "common/test_util.h"
#include "foundation/desktop_user.h"
#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/regkey.h"
#include "foundation/system_dll.h"
#include "foundation/ufile.h"
#include "foundation/url_policy.h"
#include "foundation/ustring.h"
#include "foundation/usystem.h"

using namespace utility;

namespace {

// Captures log lines in memory instead of a file.
std::vector<std::wstring> g_lines;
void captureSink(const char* function, int line, const wchar_t* message)
{
    g_lines.push_back(testutil::widen(function) + L": " + message);
}

class CapturedLog : public testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        common::setLogSink(&captureSink);
    }
    void TearDown() override { common::setLogSink(nullptr); }
    bool logged(const std::wstring& text) const
    {
        for (const auto& line : g_lines)
            if (line.find(text) != std::wstring::npos)
                return true;
        return false;
    }
};

// The test child by its full path.
std::wstring childExe()
{
    wchar_t full[MAX_PATH] = {0};
    GetFullPathNameW((testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), MAX_PATH, full, nullptr);
    return full;
}

TEST(UstringTest, SplitTrimsBlanksAndKeepsEmptyPieces)
{
    std::list<std::wstring> expected = {L"a", L"b", L"c"};
    EXPECT_EQ(ustring::split(L" a | b |c ", L"|"), expected);
    expected = {L"a", L"", L"b"};
    EXPECT_EQ(ustring::split(L"a||b", L"|"), expected);
    expected = {L"a", L""};
    EXPECT_EQ(ustring::split(L"a|", L"|"), expected);
    EXPECT_TRUE(ustring::split(L"", L"|").empty());
    EXPECT_TRUE(ustring::split(L"abc", L"").empty());
    expected = {L"\tx\t"};  // only U+0020 is trimmed
    EXPECT_EQ(ustring::split(L" \tx\t ", L"|"), expected);
}

TEST(UstringTest, KeyValuesLowerKeysKeepValuesAndSkipJunk)
{
    std::list<std::wstring> items = {L" Path = D:\\Games ", L"upgrade=1",   L"=x", L"junk",
                                     L"FROM=update",        L"from=install"};
    ustring::KeyValueMap map = ustring::parseKeyValues(items, L"=");
    ASSERT_EQ(map.size(), 3u);
    std::wstring value;
    EXPECT_TRUE(ustring::lookup(map, L"path", value));
    EXPECT_EQ(value, L"D:\\Games");
    EXPECT_TRUE(ustring::lookup(map, L"upgrade", value));
    EXPECT_EQ(value, L"1");
    EXPECT_TRUE(ustring::lookup(map, L"from", value));
    EXPECT_EQ(value, L"install");
    EXPECT_FALSE(ustring::lookup(map, L"Path", value));
}

TEST(UstringTest, ConversionsAndDigits)
{
    EXPECT_EQ(ustring::mbToWide("abc", -1, CP_UTF8), L"abc");
    EXPECT_EQ(ustring::mbToWide("abc", 2, CP_UTF8), L"ab");
    EXPECT_EQ(ustring::mbToWide(nullptr, -1, CP_UTF8), L"");
    EXPECT_EQ(ustring::mbToWide("abc", -2, CP_UTF8), L"");
    EXPECT_EQ(ustring::fromUtf8("\xE6\x97\xA5"), L"\x65E5");
    EXPECT_EQ(ustring::toUtf8(L"\x65E5x"), "\xE6\x97\xA5x");
    EXPECT_TRUE(ustring::isDigits(L""));
    EXPECT_TRUE(ustring::isDigits(L"0123"));
    EXPECT_FALSE(ustring::isDigits(L"12a"));
    std::wstring text = L"  MiXed  ";
    ustring::trim(text);
    ustring::toLower(text);
    EXPECT_EQ(text, L"mixed");
}

// Addresses from remote documents and language tables: only plain web
// addresses pass, and the updater's only over https.
TEST(UrlPolicyTest, OnlyWebAddressesWithAHostPass)
{
    using urlpolicy::Schemes;
    const struct {
        const char* url;
        bool web;
        bool secure;
    } cases[] = {
        {"https://cdn.example.com/a.7z", true, true},
        {"HTTPS://cdn.example.com", true, true},
        {"http://cdn.example.com/a.7z", true, false},
        {"file:///C:/Windows/win.ini", false, false},
        {"ftp://cdn.example.com/a.7z", false, false},
        {"https://", false, false},
        {"https:///path", false, false},
        {"http:/cdn.example.com", false, false},
        {"https://cdn.example.com/a b", false, false},
        {"https://cdn.example.com/\r\nX: y", false, false},
        {"C:\\Windows\\notepad.exe", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(c.web, urlpolicy::isAllowed(std::string(c.url), Schemes::HttpOrHttps));
        EXPECT_EQ(c.secure, urlpolicy::isAllowed(std::string(c.url), Schemes::HttpsOnly));
        EXPECT_EQ(c.web, urlpolicy::isAllowed(ustring::toWide(c.url), Schemes::HttpOrHttps));
    }
    // Caps: 0 is none; a sum past the cap, or past 64 bits, is refused.
    EXPECT_TRUE(urlpolicy::withinCap(~0ull, ~0ull, 0));
    EXPECT_TRUE(urlpolicy::withinCap(10, 90, 100));
    EXPECT_FALSE(urlpolicy::withinCap(10, 91, 100));
    EXPECT_FALSE(urlpolicy::withinCap(101, 0, 100));
    EXPECT_FALSE(urlpolicy::withinCap(50, ~0ull, 100));
}

TEST(UfileTest, ParentDirAndJoinTable)
{
    EXPECT_EQ(ufile::joinPath(L"C:\\g\\", L"zulclient.exe"), L"C:\\g\\zulclient.exe");
    EXPECT_EQ(ufile::joinPath(L"C:\\g", L"data\\x"), L"C:\\g\\data\\x");
    EXPECT_EQ(ufile::joinPath(L"C:/g/", L"x"), L"C:/g/x");
    EXPECT_EQ(ufile::joinPath(L"", L"x"), L"x");
    EXPECT_EQ(ufile::joinPath(L"C:\\g", L""), L"C:\\g\\");
    EXPECT_EQ(ufile::getParentDir(L"C:\\a\\b\\"), L"C:\\a\\");
    EXPECT_EQ(ufile::getParentDir(L"C:\\a\\b"), L"C:\\a\\");
    EXPECT_EQ(ufile::getParentDir(L"C:/a/b"), L"C:/a/");
    EXPECT_EQ(ufile::getParentDir(L"file"), L"");
    EXPECT_EQ(ufile::getParentDir(L"\\"), L"\\");
}

TEST_F(CapturedLog, MakeDirCreatesTreesQuietlyAndRemoveFileLogsFailures)
{
    testutil::TempDir dir;
    std::wstring deep = dir.path() + L"one\\two\\three";
    EXPECT_TRUE(ufile::makeDir(deep));
    EXPECT_TRUE(testutil::dirExists(deep));
    g_lines.clear();
    EXPECT_TRUE(ufile::makeDir(deep));
    EXPECT_TRUE(g_lines.empty());
    EXPECT_TRUE(ufile::exists(deep));

    EXPECT_FALSE(ufile::removeFile(dir.file(L"missing.txt")));
    EXPECT_TRUE(
        logged(L"utility::ufile::removeFile: removeFile file from [ " + dir.file(L"missing.txt") + L" ] error = 2."));
    testutil::writeFile(dir.file(L"f.txt"), "x");
    EXPECT_TRUE(ufile::removeFile(dir.file(L"f.txt")));
    EXPECT_FALSE(ufile::exists(dir.file(L"f.txt")));
    // The quiet delete: a file that is not there is no failure, one that
    // cannot go (a folder in its place) is logged.
    g_lines.clear();
    EXPECT_TRUE(ufile::deleteIfPresent(dir.file(L"missing.txt")));
    EXPECT_TRUE(ufile::deleteIfPresent(dir.file(L"no folder\\missing.txt")));
    EXPECT_TRUE(g_lines.empty());
    EXPECT_FALSE(ufile::deleteIfPresent(dir.path() + L"one"));
    EXPECT_TRUE(logged(L"utility::ufile::deleteIfPresent: delete " + dir.path() + L"one failed lastError = 5"));

    std::wstring appData = ufile::getAppDataDir();
    EXPECT_FALSE(appData.empty());
    EXPECT_NE(appData.back(), L'\\');
}

// A file of the given size whose bytes are never written (sparse where the
// file system allows it).
bool makeLargeFile(const std::wstring& path, LONGLONG size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    bool ok = file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

TEST_F(CapturedLog, ReadWholeFileRefusesEmptyMissingAndOversizedFiles)
{
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::writeFile(dir.file(L"ten.bin"), "0123456789"));
    DWORD size = 0;
    std::unique_ptr<BYTE[]> bytes = ufile::readWholeFile(dir.file(L"ten.bin"), size);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string("0123456789"), std::string(reinterpret_cast<char*>(bytes.get()), size));
    EXPECT_TRUE(ufile::readWholeFile(dir.file(L"ten.bin"), size, 10));
    EXPECT_FALSE(ufile::readWholeFile(dir.file(L"ten.bin"), size, 9));
    EXPECT_EQ(0u, size);
    EXPECT_TRUE(logged(L"ten.bin ] holds 10 bytes, more than 9: refused"));

    g_lines.clear();
    ASSERT_TRUE(testutil::writeFile(dir.file(L"empty.bin"), ""));
    EXPECT_FALSE(ufile::readWholeFile(dir.file(L"empty.bin"), size));
    EXPECT_FALSE(ufile::readWholeFile(dir.file(L"missing.bin"), size));
    EXPECT_TRUE(g_lines.empty());

    // Above the cap for skins and images: refused before any allocation.
    ASSERT_TRUE(makeLargeFile(dir.file(L"huge.bin"), ufile::kMaxWholeFileBytes + 1LL));
    EXPECT_FALSE(ufile::readWholeFile(dir.file(L"huge.bin"), size));
    EXPECT_TRUE(logged(L"huge.bin ] holds 67108865 bytes, more than 67108864: refused"));
}

TEST_F(CapturedLog, ExecuteReportsExitCodesTimeoutsAndMissingPrograms)
{
    std::wstring child = testutil::exeDir() + L"..\\zul_test_child.exe";
    DWORD code = 0;
    EXPECT_TRUE(process::execute(child, L"exit=0", false, 10000, code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(process::execute(child, L"exit=7", false, 10000, code));
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(logged(L"execute exitcode = 7"));
    EXPECT_TRUE(logged(L"createProcess filename = [" + child + L"], param = [exit=7], show = 0"));

    g_lines.clear();
    DWORD start = GetTickCount();
    EXPECT_FALSE(process::execute(child, L"sleep=3000", false, 200));
    EXPECT_LT(GetTickCount() - start, 2500u);
    EXPECT_TRUE(logged(L"execute timeout!!!"));

    start = GetTickCount();
    EXPECT_TRUE(process::execute(child, L"sleep=3000", false, 0));
    EXPECT_LT(GetTickCount() - start, 2500u);

    g_lines.clear();
    EXPECT_FALSE(process::execute(L"C:\\no\\such\\program.exe", L"", false, 1000));
    EXPECT_TRUE(logged(L"createProcess failed!!! lastError = "));
    EXPECT_TRUE(logged(L"execute failed!!! last error = "));
}

TEST_F(CapturedLog, CreatePassesQuotedPathAndParametersAndIsRunningIgnoresCase)
{
    testutil::TempDir dir;
    std::wstring record = dir.file(L"cmd.txt");
    std::wstring child = testutil::exeDir() + L"..\\zul_test_child.exe";
    DWORD pid = 0;
    // Arguments act in order: the record is written, then the child sleeps on.
    HANDLE process = process::create(child, L"record=" + record + L" sleep=3000", false, &pid);
    ASSERT_NE(process, nullptr);
    EXPECT_NE(pid, 0u);
    EXPECT_TRUE(testutil::pumpUntil([&] { return testutil::fileExists(record); }, 5000));
    EXPECT_TRUE(process::isRunning(L"ZUL_TEST_CHILD.EXE"));
    EXPECT_FALSE(process::isRunning(L"zul_test_chil.exe"));
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    std::string line = testutil::readFile(record);
    EXPECT_EQ(line, "\"" + testutil::narrow(child) + "\" record=" + testutil::narrow(record) + " sleep=3000\r\n");
}

TEST(ProcessTest, DevicePathsMatchWholeVolumeNames)
{
    const std::vector<process::DosDevice> shortFirst = {{L"C:", L"\\Device\\HarddiskVolume1"},
                                                        {L"D:", L"\\Device\\HarddiskVolume10"}};
    const std::vector<process::DosDevice> longFirst = {shortFirst[1], shortFirst[0]};
    const wchar_t* cases[][2] = {// device path, drive path ("": no match)
                                 {L"\\Device\\HarddiskVolume10\\games\\zulclient.exe", L"D:\\games\\zulclient.exe"},
                                 {L"\\Device\\HarddiskVolume1\\games\\zulclient.exe", L"C:\\games\\zulclient.exe"},
                                 {L"\\device\\HARDDISKVOLUME1\\X", L"C:\\X"},
                                 {L"\\Device\\HarddiskVolume1", L"C:"},
                                 {L"\\Device\\HarddiskVolume100\\x", L""},
                                 {L"", L""}};
    for (const std::vector<process::DosDevice>& devices : {shortFirst, longFirst}) {
        for (const auto& c : cases) {
            std::wstring out;
            EXPECT_EQ(c[1][0] != 0, process::DosPathToNtPath(c[0], &out, devices)) << testutil::narrow(c[0]);
            EXPECT_EQ(c[1], out);
        }
    }

    // The real device of C:, and this process's image path.
    wchar_t device[MAX_PATH] = {0}, self[MAX_PATH];
    ASSERT_NE(0u, QueryDosDeviceW(L"C:", device, MAX_PATH));
    std::wstring out;
    const std::wstring explorer = std::wstring(device) + L"\\windows\\explorer.exe";
    ASSERT_TRUE(process::DosPathToNtPath(explorer.c_str(), &out));
    EXPECT_EQ(L"C:\\windows\\explorer.exe", out);
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(0, _wcsicmp(self, process::GetProcessPath(GetCurrentProcessId()).c_str()));
    EXPECT_EQ(L"", process::GetProcessPath(0xFFFFFFF0u));
}

TEST_F(CapturedLog, TokenCommandLineIsBoundedByTheSystemsLimit)
{
    std::wstring line;
    EXPECT_TRUE(process::buildTokenCommandLine(L"C:\\a b\\zulclient.exe", nullptr, line));
    EXPECT_EQ(L"\"C:\\a b\\zulclient.exe\"", line);
    EXPECT_TRUE(process::buildTokenCommandLine(L"C:\\z.exe", L"show=0|x=1", line));
    EXPECT_EQ(L"\"C:\\z.exe\" show=0|x=1", line);
    // 32,766 characters fit with the terminator, 32,767 do not.
    EXPECT_TRUE(process::buildTokenCommandLine(L"C:\\z.exe", std::wstring(32755, L'p').c_str(), line));
    EXPECT_EQ(32766u, line.size());
    EXPECT_FALSE(process::buildTokenCommandLine(L"C:\\z.exe", std::wstring(32756, L'p').c_str(), line));
    g_lines.clear();
    EXPECT_EQ(-1,
              process::createWithExplorerToken(L"C:\\z.exe", std::wstring(40000, L'p').c_str(), std::wstring(), true));
    EXPECT_TRUE(logged(L"command line too long"));
}

TEST_F(CapturedLog, StartsWithAGivenTokenOrTheExplorerOfThisSession)
{
    HANDLE own = nullptr, primary = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &own));
    ASSERT_TRUE(DuplicateTokenEx(own, 0xF01FF, nullptr, SecurityImpersonation, TokenPrimary, &primary));
    CloseHandle(own);
    DWORD exitCode = 0;
    EXPECT_EQ(0, process::createWithToken(primary, childExe(), L"exit=9", std::wstring(), true, &exitCode));
    EXPECT_EQ(9u, exitCode);
    EXPECT_TRUE(CloseHandle(primary));  // still the caller's

    testutil::TempDir temp;
    const std::wstring record = temp.file(L"explorer.txt");
    HANDLE token = nullptr;
    g_lines.clear();
    const DWORD error = process::getExplorerToken(&token);
    // Windows runs the desktop's explorer.exe from the Windows folder; Wine
    // runs its own from system32, so under Wine the start must be refused.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    EXPECT_EQ(!wine, token != nullptr) << (wine ? "Wine" : "Windows") << ", error " << error;
    if (token) {
        DWORD session = 0, ownSession = 1, size = 0;
        EXPECT_TRUE(GetTokenInformation(token, TokenSessionId, &session, sizeof(session), &size));
        ProcessIdToSessionId(GetCurrentProcessId(), &ownSession);
        EXPECT_EQ(ownSession, session);
        CloseHandle(token);
        EXPECT_EQ(0, process::createWithExplorerToken(childExe(), (L"record=" + record).c_str(), std::wstring(), true));
        EXPECT_TRUE(testutil::fileExists(record));
    } else {
        // No explorer.exe in the Windows folder in this session (Wine runs its
        // own from system32): the start is refused and nothing runs.
        EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_FOUND), error);
        EXPECT_TRUE(logged(L"no explorer in session"));
        EXPECT_EQ(-1,
                  process::createWithExplorerToken(childExe(), (L"record=" + record).c_str(), std::wstring(), true));
        testutil::pumpFor(300);
        EXPECT_FALSE(testutil::fileExists(record));
    }
}

TEST_F(CapturedLog, RegistryReadRoundTripUnderATestKey)
{
    const char* subKey = "Software\\ZulTests\\RegKey";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char installDir[] = "C:\\Games\\ZUL\\";
    RegSetValueExA(key, "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir), sizeof(installDir));
    // Stored without its terminator: the reader must still end the text.
    RegSetValueExA(key, "Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    std::string huge(RegKey::kMaxValueBytes + 10, 'h');
    RegSetValueExA(key, "Huge", 0, REG_SZ, reinterpret_cast<const BYTE*>(huge.c_str()),
                   static_cast<DWORD>(huge.size() + 1));
    RegCloseKey(key);

    RegKey reg;
    std::string value = "stale";
    EXPECT_NE(reg.RegRead("InstallDir", value), ERROR_SUCCESS);
    EXPECT_TRUE(logged(L"m_hKey is null, query reg = InstallDir"));
    ASSERT_EQ(reg.RegRegOpen(HKEY_CURRENT_USER, subKey, KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegRead("InstallDir", value), ERROR_SUCCESS);
    EXPECT_EQ(value, installDir);
    EXPECT_EQ(reg.RegRead("Unterminated", value), ERROR_SUCCESS);
    EXPECT_EQ(value, "abc");

    g_lines.clear();
    EXPECT_EQ(reg.RegRead("Missing", value), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(logged(L"read reg lastError = 2"));
    EXPECT_NE(reg.RegRead("Huge", value), ERROR_SUCCESS);
    EXPECT_TRUE(value.empty());
    reg.close();

    EXPECT_EQ(reg.RegRegOpen(HKEY_CURRENT_USER, "Software\\ZulTests\\Absent", KEY_READ), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(logged(L"open reg = Software\\ZulTests\\Absent, lastError = 2"));
    RegDeleteKeyA(HKEY_CURRENT_USER, subKey);
}

TEST_F(CapturedLog, OpenUrlRefusesAnythingButWebAddresses)
{
    testutil::TempDir dir;
    const std::wstring program = dir.file(L"zul_opened.exe");
    ASSERT_TRUE(CopyFileW((testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), program.c_str(), FALSE));
    for (const std::wstring& address : {program, L"file:///" + program, std::wstring(L"javascript:alert(1)")}) {
        g_lines.clear();
        EXPECT_FALSE(usystem::openUrl(address)) << testutil::narrow(address);
        EXPECT_TRUE(logged(L"utility::usystem::openUrl: refused, not a web address: " + address));
    }
}

// The programs run elevated and open web addresses as the desktop user:
// rundll32.exe of the system folder with url.dll, started with the token of
// the desktop's explorer.exe; nothing else opens.
TEST_F(CapturedLog, WebAddressesOpenAsTheDesktopUserAndNothingElseOpens)
{
    if (!testutil::runsHereElseAsWindows8())
        return;
    testutil::StandInDesktop desktop(testutil::exeDir() + L"zul_recorder.exe");
    ASSERT_TRUE(desktop.running());
    const std::wstring rundll = L"\"" + desktop.system() + L"rundll32.exe\" url.dll,FileProtocolHandler ";
    const std::wstring address = L"https://www.example.com/zul/event?id=7&lang=en#top";
    EXPECT_TRUE(process::openUrlAsDesktopUser(address));
    std::vector<std::wstring> starts = desktop.rundllStarts(1, 20000);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(rundll + address, starts[0]);
    EXPECT_TRUE(logged(L"utility::process::openUrlAsDesktopUser: opened as the desktop user: " + address));

    // A quote would be taken away as the line is split: it goes encoded.
    EXPECT_TRUE(process::openUrlAsDesktopUser(L"http://example.com/a\"b"));
    starts = desktop.rundllStarts(2, 20000);
    ASSERT_EQ(2u, starts.size());
    EXPECT_EQ(rundll + L"http://example.com/a%22b", starts[1]);

    const std::wstring program = desktop.windows() + L"explorer.exe";
    for (const std::wstring& refused : {program, L"file:///" + program, std::wstring(L"javascript:alert(1)"),
                                        std::wstring(L"https://example.com/a b")}) {
        EXPECT_FALSE(process::openUrlAsDesktopUser(refused)) << testutil::narrow(refused);
        EXPECT_TRUE(logged(L"utility::process::openUrlAsDesktopUser: refused, not a web address: " + refused))
            << testutil::narrow(refused);
    }
    testutil::pumpFor(300);
    EXPECT_EQ(2u, desktop.rundllStarts().size());
    EXPECT_FALSE(logged(L"through the shell"));
}

// Wine shows a program the Windows version its AppDefaults entry names: the
// answer follows the version the program sees.
TEST(UsystemTest, VersionQueryAnswersForTheVersionTheProgramSees)
{
    testutil::TempDir dir;
    const std::wstring probe = dir.file(L"zul_version_probe.exe");
    const std::wstring child = testutil::exeDir() + L"..\\zul_test_child.exe";
    ASSERT_TRUE(CopyFileW(child.c_str(), probe.c_str(), FALSE));
    const wchar_t key[] = L"Software\\Wine\\AppDefaults\\zul_version_probe.exe";
    const std::pair<const wchar_t*, DWORD> versions[] = {{sizeof(void*) == 8 ? L"winxp64" : L"winxp", 0},
                                                         {L"vista", 1},
                                                         {L"win10", 1}};
    for (const auto& version : versions) {
        SCOPED_TRACE(testutil::narrow(version.first));
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Version", REG_SZ, version.first,
                                                 static_cast<DWORD>((wcslen(version.first) + 1) * sizeof(wchar_t))));
        DWORD code = 99;
        process::execute(probe, L"vista", false, 10000, code);
        EXPECT_EQ(version.second, code);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
}

TEST(UsystemTest, Windows8RuleTable)
{
    const struct {
        DWORD major, minor;
        bool win8;
    } cases[] = {{5, 2, false}, {6, 1, false}, {6, 2, true}, {6, 3, true}, {10, 0, true}};
    for (const auto& c : cases)
        EXPECT_EQ(c.win8, usystem::isWin8Version(c.major, c.minor)) << c.major << c.minor;
}

// The build plants a "msimg32.dll" that records being loaded beside this
// program; the entry point has restricted the DLL search.
TEST(SystemDllTest, ACopyBesideTheProgramOrInTheCurrentFolderIsNeverLoaded)
{
    const std::wstring planted = testutil::exeDir() + L"msimg32.dll";
    ASSERT_TRUE(testutil::fileExists(planted));
    ASSERT_EQ(nullptr, GetModuleHandleW(L"msimg32.dll"));
    HMODULE module = loadSystemLibrary(L"msimg32.dll");
    ASSERT_NE(nullptr, module);
    wchar_t path[MAX_PATH] = {0}, system[MAX_PATH] = {0};
    GetModuleFileNameW(module, path, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(0, _wcsnicmp(path, system, wcslen(system))) << testutil::narrow(path);
    EXPECT_NE(nullptr, GetProcAddress(module, "AlphaBlend"));
    EXPECT_EQ(0u, GetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", nullptr, 0));
    FreeLibrary(module);

    // The current folder is not searched at all.
    testutil::TempDir dir;
    ASSERT_TRUE(CopyFileW(planted.c_str(), dir.file(L"zulplanted.dll").c_str(), FALSE));
    wchar_t previous[MAX_PATH] = {0};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(dir.path().c_str());
    EXPECT_EQ(nullptr, LoadLibraryW(L"zulplanted.dll"));
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(0u, GetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", nullptr, 0));

    // The planted copy itself loads and records it when named by its path.
    HMODULE copy = LoadLibraryW(dir.file(L"zulplanted.dll").c_str());
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(0u, GetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", nullptr, 0));
    FreeLibrary(copy);
    SetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", nullptr);
}

}  // namespace
