// The launcher's pieces that stand without its window: the rules (window
// size, game folder, download texts, package names), the framework additions
// (scaled client size, modal loop) and the emulator's process clean-up.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/log.h"
#include "foundation/process.h"
#include "launcher/emulator_process.h"
#include "launcher/external_bridge.h"
#include "launcher/launcher_rules.h"
#include "launcher/menu_wnd.h"
#include "launcher/ui_additions.h"
#include "skinui/core/ui_manager.h"

namespace {

std::wstring childExe()
{
    wchar_t full[MAX_PATH];
    GetFullPathNameW((testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), MAX_PATH, full, nullptr);
    return full;
}

SIZE clientSize(HWND window)
{
    RECT rc = {};
    GetClientRect(window, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

HWND makePopup(HWND owner)
{
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 10, 200, 100, owner, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(LauncherRules, MainWindowFollowsTheWorkArea)
{
    const struct {
        int workWidth, workHeight, width, height;
        bool compact;
    } kCases[] = {{1366, 728, 1189, 708, true},
                  {1600, 860, 1411, 840, false},
                  {1920, 1040, 1642, 977, false},
                  {1280, 1024, 1240, 737, true}};
    for (const auto& c : kCases) {
        const SIZE size = rules::mainClientSize(c.workWidth, c.workHeight);
        EXPECT_EQ(c.width, size.cx) << c.workWidth << "x" << c.workHeight;
        EXPECT_EQ(c.height, size.cy) << c.workWidth << "x" << c.workHeight;
        EXPECT_EQ(c.compact, size.cy <= rules::kCompactMaxHeight);
    }
}

TEST(LauncherRules, ChosenFolderBecomesAGameFolder)
{
    EXPECT_EQ(L"D:\\Game\\", rules::gameFolderFromChoice(L"D:\\"));
    EXPECT_EQ(L"D:\\Games\\", rules::gameFolderFromChoice(L"D:\\Games"));
    EXPECT_EQ(L"D:\\play\\Game\\", rules::gameFolderFromChoice(L"D:\\play"));
    EXPECT_EQ(L"", rules::gameFolderFromChoice(L"D"));
    // The settings window's choice goes to a "ZUL" folder instead.
    EXPECT_EQ(L"D:\\ZUL\\", rules::gameFolderFromChoice(L"D:\\", L"ZUL"));
    EXPECT_EQ(L"E:/ZUL/", rules::gameFolderFromChoice(L"E:/ZUL/", L"ZUL"));
    EXPECT_EQ(L"D:\\play\\ZUL\\", rules::gameFolderFromChoice(L"D:\\play", L"ZUL"));
}

TEST(LauncherMenu, PlacedByCornerThenKeptInTheWorkArea)
{
    const RECT work = {0, 0, 1280, 984};
    struct Case {
        int x, y, corner;
        RECT expected;
    } cases[] = {
        {500, 500, 0, {379, 420, 499, 500}},
        {500, 500, 1, {379, 500, 499, 580}},
        {500, 500, 2, {500, 420, 620, 500}},
        {500, 500, 3, {500, 500, 620, 580}},
        // Beyond the right and bottom edges (the taskbar's place): moved left and up.
        {1279, 1010, 2, {1160, 904, 1280, 984}},
        // Beyond the left and top edges: moved right and down.
        {50, 10, 0, {0, 0, 120, 80}},
    };
    for (const Case& c : cases) {
        const RECT place = QMMenuWnd::placeMenu(c.x, c.y, c.corner, 120, 80, work);
        EXPECT_TRUE(EqualRect(&c.expected, &place))
            << c.x << "," << c.y << " corner " << c.corner << ": " << place.left << "," << place.top;
    }
}

TEST(LauncherRules, DownloadTextsNeverDivideByZero)
{
    EXPECT_EQ(0, rules::downloadPercent(5, 0));
    EXPECT_EQ(50, rules::downloadPercent(5, 10));
    EXPECT_EQ(100, rules::downloadPercent(12, 10));
    std::wstring left = L"unchanged";
    EXPECT_FALSE(rules::downloadTimeLeftText(1, 10, 0, left));
    EXPECT_FALSE(rules::downloadTimeLeftText(0, 0, 100, left));
    EXPECT_FALSE(rules::downloadTimeLeftText(20, 10, 100, left));
    EXPECT_EQ(L"unchanged", left);
    ASSERT_TRUE(rules::downloadTimeLeftText(1048576, 3 * 3600 * 1048576ull + 62 * 1048576ull + 1048576, 1048576, left));
    EXPECT_EQ(L"03:01:02", left);
    EXPECT_EQ(L"512KB/10MB", rules::downloadSizeText(524288, 10485760));
    EXPECT_EQ(L"2MB/10MB", rules::downloadSizeText(2097152, 10485760));
    EXPECT_EQ(L"0KB/S", rules::downloadSpeedText(0));
    EXPECT_EQ(L"3MB/S", rules::downloadSpeedText(3 * 1048576 + 5));
}

TEST(LauncherRules, PackageVersionStaysAPlainName)
{
    for (const wchar_t* safe : {L"2.5.1", L"v1_0-beta", L"12345678901234567890123456789012"})
        EXPECT_TRUE(rules::isSafeVersionText(safe)) << safe;
    for (const wchar_t* unsafe : {L"", L"..", L"a..b", L"..\\..\\x", L"a/b", L"a\\b", L"C:x", L"a b", L"a%b",
                                  L"123456789012345678901234567890123", L"\x00e9t\x00e9"})
        EXPECT_FALSE(rules::isSafeVersionText(unsafe)) << unsafe;
    EXPECT_EQ(L"C:\\app\\zulen_2.5.1.7z", rules::playerPackagePath(L"C:\\app\\", L"2.5.1"));
    EXPECT_EQ(L"C:\\g\\zul_app_sea_1203.apk", rules::apkPackagePath(L"C:\\g\\", 1203));
    EXPECT_EQ(L"C:\\g\\data\\appversion1000", rules::localAppVersionPath(L"C:\\g\\"));
    EXPECT_EQ(L"C:\\g\\data\\appversion1000", rules::localAppVersionPath(L"C:\\g"));
    EXPECT_EQ(L"show=0|package=com.play.zulsea|apk=C:\\g\\zul_app_sea_1203.apk",
              rules::clientInstallParams(L"C:\\g\\zul_app_sea_1203.apk"));
}

TEST(LauncherUiAdditions, ClientSizeFollowsTheScaleFactor)
{
    HWND window = makePopup(nullptr);
    ASSERT_NE(nullptr, window);
    SkinUI::SetClientSize(window, 500, 300);
    EXPECT_EQ(500, clientSize(window).cx);
    EXPECT_EQ(300, clientSize(window).cy);
    SkinUI::SetClientSize(window, -1, 250);
    EXPECT_EQ(500, clientSize(window).cx);
    EXPECT_EQ(250, clientSize(window).cy);

    SkinUI::CUiManager::SetEnlargeMode(true);
    const SIZE scaled = SkinUI::ScaledClientSize(1189, 708);
    SkinUI::SetClientSize(window, 400, 200);
    SkinUI::CUiManager::SetEnlargeMode(false);
    EXPECT_EQ(1783, scaled.cx);
    EXPECT_EQ(1062, scaled.cy);
    EXPECT_EQ(600, clientSize(window).cx);
    EXPECT_EQ(300, clientSize(window).cy);
    DestroyWindow(window);
}

TEST(LauncherUiAdditions, ModalLoopReturnsTheCloseResultAndPassesQuitOn)
{
    HWND owner = makePopup(nullptr);
    HWND modal = makePopup(owner);
    ASSERT_NE(nullptr, modal);
    PostMessageW(modal, WM_CLOSE, 1, 0);
    EXPECT_EQ(1, SkinUI::RunModal(modal));
    EXPECT_FALSE(IsWindow(modal));
    EXPECT_TRUE(IsWindowEnabled(owner));

    modal = makePopup(owner);
    PostQuitMessage(7);
    EXPECT_EQ(0, SkinUI::RunModal(modal));
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG msg = {};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
    DestroyWindow(modal);
    DestroyWindow(owner);
}

TEST(EmulatorProcess, StopsOnlyTheGamesOwnProcesses)
{
    EXPECT_TRUE(emulator::isPathInFolder(L"C:\\g\\a.exe", L"C:\\g\\"));
    EXPECT_TRUE(emulator::isPathInFolder(L"C:\\G\\sub\\a.exe", L"c:\\g"));
    EXPECT_FALSE(emulator::isPathInFolder(L"C:\\gx\\a.exe", L"C:\\g\\"));
    EXPECT_FALSE(emulator::isPathInFolder(L"C:\\g\\..\\a.exe", L"C:\\g\\"));

    testutil::TempDir temp;
    const std::wstring game = temp.file(L"game\\");
    CreateDirectoryW(game.c_str(), nullptr);
    CreateDirectoryW(temp.file(L"tools").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(childExe().c_str(), (game + L"adb.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(childExe().c_str(), temp.file(L"tools\\adb.exe").c_str(), FALSE));
    HANDLE own = utility::process::create(game + L"adb.exe", L"sleep=60000", false);
    HANDLE users = utility::process::create(temp.file(L"tools\\adb.exe"), L"sleep=60000", false);
    ASSERT_NE(nullptr, own);
    ASSERT_NE(nullptr, users);

    const emulator::StopEntry adb[] = {{L"adb.exe", 5000}};
    EXPECT_EQ(1, emulator::stopProcessesInFolder(game, adb, 1));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(own, 5000));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(users, 0));
    TerminateProcess(users, 0);
    WaitForSingleObject(users, 5000);
    CloseHandle(own);
    CloseHandle(users);
}

namespace {

std::wstring bridgeLog;
void keepBridgeLog(const char*, int, const wchar_t* message) { bridgeLog += message + std::wstring(L"\n"); }

HRESULT invokeWith(IDispatch* external, DISPID id, std::initializer_list<const wchar_t*> texts)
{
    // The arguments go last first.
    std::vector<VARIANT> arguments(texts.size());
    size_t at = texts.size();
    for (const wchar_t* text : texts) {
        VARIANT& argument = arguments[--at];
        VariantInit(&argument);
        V_VT(&argument) = VT_BSTR;
        V_BSTR(&argument) = SysAllocString(text);
    }
    DISPPARAMS params = {arguments.empty() ? nullptr : arguments.data(), nullptr, static_cast<UINT>(arguments.size()),
                         0};
    const HRESULT result = external->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    for (VARIANT& argument : arguments)
        VariantClear(&argument);
    return result;
}

}  // namespace

TEST(ExternalBridge, PageCallsReachTheHandlerAndOnlyWebAddressesOpen)
{
    LocationEventHandler* handler = new LocationEventHandler();
    IDispatch* external = nullptr;
    IDispatch* again = nullptr;
    ASSERT_EQ(S_OK, handler->GetExternal(&external));
    ASSERT_EQ(S_OK, handler->GetExternal(&again));
    EXPECT_EQ(external, again);  // one object for the handler's life

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"openUrl"), const_cast<LPOLESTR>(L"setLocation"),
                        const_cast<LPOLESTR>(L"runProgram")};
    DISPID ids[3] = {};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, external->GetIDsOfNames(IID_NULL, names, 3, 0, ids));
    EXPECT_EQ(100, ids[0]);
    EXPECT_EQ(102, ids[1]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[2]);

    EXPECT_EQ(S_OK, invokeWith(external, 102, {L"25.03", L"121.56"}));
    EXPECT_EQ(L"25.03,121.56", handler->location());
    EXPECT_EQ(E_NOTIMPL, invokeWith(external, 102, {L"25.03"}));
    EXPECT_EQ(S_OK, invokeWith(external, 101, {}));
    EXPECT_EQ(E_NOTIMPL, invokeWith(external, 7, {}));

    // The launcher runs elevated: a page opens web addresses, never a program.
    const common::LogSink previous = common::logSink();
    common::setLogSink(&keepBridgeLog);
    EXPECT_EQ(S_OK, invokeWith(external, 100, {L"C:\\windows\\system32\\calc.exe"}));
    EXPECT_EQ(S_OK, invokeWith(external, 100, {}));
    common::setLogSink(previous);
    EXPECT_NE(std::wstring::npos, bridgeLog.find(L"refused, not a web address: C:\\windows\\system32\\calc.exe"));

    // A page that keeps the object after the handler went no longer reaches it.
    delete handler;
    EXPECT_EQ(S_OK, invokeWith(external, 102, {L"1", L"2"}));
    EXPECT_EQ(1u, again->Release());
    EXPECT_EQ(0u, external->Release());
}
