// The emulator client, which the elevated launcher starts as the desktop
// user: in its game folder, even when that folder's name is long. The
// recording stand-in plays the client (common/stand_in_desktop.h).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/stand_in_desktop.h"
#include "common/test_util.h"
#include "launcher/emulator_process.h"
#include "launcher/launcher_rules.h"
#include "launcher_test_util.h"

using launchertest::LogCapture;

using testutil::readLines;

TEST(DesktopUser, ClientInALongGameFolderStartsAsTheDesktopUserInThatFolder)
{
    if (!testutil::runsHereElseAsWindows8())
        return;
    testutil::StandInDesktop desktop(testutil::exeDir() + L"zul_recorder.exe");
    ASSERT_TRUE(desktop.running());
    testutil::TempDir temp;
    // A game folder of 200 characters: the hand-over line holds it twice.
    std::wstring game = temp.path() + L"game ";
    game += std::wstring(199 - game.size(), L'g') + L"\\";
    ASSERT_EQ(200u, game.size());
    ASSERT_TRUE(CreateDirectoryW(game.c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileW((testutil::exeDir() + L"zul_recorder.exe").c_str(), (game + L"zulclient.exe").c_str(), FALSE));
    const std::wstring params = rules::clientInstallParams(rules::apkPackagePath(game, 1203));

    LogCapture log;
    EXPECT_TRUE(emulator::startClient(game + L"\\zulclient.exe", params));
    ASSERT_TRUE(testutil::pumpUntil([&] { return !readLines(game + L"zulclient.cmdline.txt").empty(); }, 20000));
    EXPECT_NE(std::wstring::npos, readLines(game + L"zulclient.cmdline.txt")[0].find(L" " + params));
    const std::vector<std::wstring> folders = readLines(game + L"zulclient.cwd.txt");
    ASSERT_EQ(1u, folders.size());
    EXPECT_EQ(0, _wcsicmp(game.substr(0, game.size() - 1).c_str(), folders[0].c_str())) << testutil::narrow(folders[0]);
    EXPECT_EQ(1u, log.count(L"emulator::startClient: client started as the desktop user in [" + game + L"]"));
    EXPECT_EQ(0u, log.count(L"run player adminstror"));
}
