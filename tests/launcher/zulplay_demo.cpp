// Demo (not a test): the real launcher in a folder of the Wine prefix (the one
// the installer made, else a copy of the built one), talking
// to the local stand-in server, driven by real input. It presses Start in an
// empty game folder (the emulator package is downloaded, unpacked and
// repaired), presses Start again (the game package is downloaded and handed
// to the emulator client), reports the game installed as the emulator would,
// and prints what happened at each step. Screenshots go to build/artifacts.
//   zulplay_demo.exe <launcher folder>
// The server (tests/tools/with_http_server.sh, ZUL_HTTP_TEST_PORT) already
// serves zul/config_sea.data, zul/kxzulx, pkg/player.7z and pkg/game.apk.
#include <windows.h>

#include <stdio.h>

#include <string>

#include "common/test_util.h"
#include "common/ui_driver.h"
#include "foundation/system_dll.h"

namespace {

const wchar_t kEndpoint[] = L"{6A43FC71-98D6-43A1-83F3-6A53B0D557FD}";

std::wstring fixture(const wchar_t* name) { return testutil::exeDir() + L"zulplay_fixture\\" + name; }

void say(const std::wstring& text)
{
    printf("%s\n", testutil::narrow(text).c_str());
    fflush(stdout);
}

bool waitText(HWND window, const wchar_t* name, const std::wstring& part, DWORD ms)
{
    return uidriver::waitForControl(
               window, name,
               [&](const uidriver::ControlInfo& c) {
                   return c.visible && c.enabled && c.text.find(part) != std::wstring::npos;
               },
               ms)
        .found;
}

void listFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.cFileName[0] != L'.')
            say(L"    " + folder + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

int fail(const wchar_t* what)
{
    say(std::wstring(L"demo stopped: ") + what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    utility::restrictDllSearch();
    if (argc != 2)
        return fail(L"usage: zulplay_demo.exe <launcher folder>");
    std::wstring app = argv[1];
    if (app.back() != L'\\')
        app += L'\\';
    const std::wstring game = app + L"game\\";
    CreateDirectoryW(app.c_str(), nullptr);
    // The installed launcher when the installer put one there; the crash
    // reporter is not part of the installation: its stand-in joins it.
    for (const wchar_t* name : {L"zulplay.exe", L"libcurl.dll", L"crashreport.dll"})
        CopyFileW(fixture(name).c_str(), (app + name).c_str(), TRUE);
    // The emulator's tools and the client run elevated only when the test
    // publisher signed them, under its root.
    if (!testutil::trustRootCertificate(testutil::exeDir() + L"signing\\root.der"))
        return fail(L"the test publisher's root could not be trusted");
    testutil::writeFile(app + L"config.data", "autorun=0|existgame=1|minbyclose=0|configversion=1000");
    wchar_t port[16] = {0};
    GetEnvironmentVariableW(L"ZUL_HTTP_TEST_PORT", port, 16);
    SetEnvironmentVariableW(L"ZUL_TEST_HOST", (std::wstring(L"http://127.0.0.1:") + port + L"/f").c_str());

    say(L"starting " + app + L"zulplay.exe");
    uidriver::Program launcher(app + L"zulplay.exe", L"");
    HWND window = uidriver::waitForWindow(L"KXZULMainFrame", launcher.pid(), 60000);
    if (!window)
        return fail(L"no launcher window");
    testutil::pumpFor(1500);
    say(L"game folder: " + uidriver::queryControl(window, L"pathEdit").text + L", Start says \"" +
        uidriver::queryControl(window, L"startBtn").text + L"\"");
    uidriver::screenshot(window, L"demo_launcher_start");

    say(L"pressing Start: the emulator package");
    if (!uidriver::clickControl(window, L"startBtn"))
        return fail(L"Start not clickable");
    uidriver::ControlInfo progress = uidriver::waitForControl(
        window, L"downloadLabel",
        [](const uidriver::ControlInfo& c) { return c.visible && c.text.find(L"B/") != std::wstring::npos; }, 60000);
    say(L"  " + progress.text);
    uidriver::screenshot(window, L"demo_launcher_downloading");
    if (!waitText(window, L"startBtn", L"Update", 180000))
        return fail(L"the emulator package did not install");
    say(L"  downloaded and unpacked; the game folder now holds:");
    listFolder(game);
    say(L"  repair tool ran: " + testutil::widen(testutil::readFile(game + L"zulrepairer.cmdline.txt")));

    say(L"pressing Start: the game package");
    uidriver::clickControl(window, L"startBtn");
    const std::wstring record = game + L"zulclient.cmdline.txt";
    if (!testutil::pumpUntil([&] { return !testutil::readFile(record).empty(); }, 180000))
        return fail(L"the game package was not handed over");
    say(L"  handed over; the emulator client was started with:");
    say(L"    " + testutil::widen(testutil::readFile(record)));
    say(L"  recorded game version: " + testutil::widen(testutil::readFile(game + L"data\\appversion1000")));
    testutil::pumpFor(2000);
    uidriver::screenshot(window, L"demo_launcher_installing");

    say(L"the emulator reports the game installed (IPC message 9334)");
    std::wstring line = L"\"" + fixture(L"zul_additions_peer.exe") + L"\" post " + kEndpoint + L" 9334 0 0";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        WaitForSingleObject(info.hProcess, 20000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    if (!waitText(window, L"startBtn", L"Play", 30000))
        return fail(L"the launcher did not return to its first page");
    say(L"  Start says \"" + uidriver::queryControl(window, L"startBtn").text + L"\"");
    uidriver::screenshot(window, L"demo_launcher_ready");

    uidriver::clickControl(window, L"closebtn");
    launcher.waitForExit(30000);
    say(L"launcher closed; its log is " + app + L"log\\main.log");
    return 0;
}
