// The window IPC channel: forwarding rules, the sending end, and a second
// process reaching the first.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "common/test_util.h"
#include "foundation/process.h"
#include "launcher/services/window_ipc.h"
#include "launcher_test_util.h"

namespace {

// Records "message wParam lParam" of every call, marked when off this thread.
class Recorder : public utility::IWindowIPCHandle {
public:
    LRESULT onHandleWindowIPC(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back(std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam) +
                           (GetCurrentThreadId() == thread ? "" : " elsewhere"));
        return 1;
    }
    const DWORD thread = GetCurrentThreadId();
    std::vector<std::string> received;
};

std::wstring channelName()
{
    static int counter = 0;
    return L"{zul-ipc-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount()) + L"-" +
           std::to_wstring(++counter) + L"}";
}

}  // namespace

TEST(WindowIPC, ForwardsMessagesAboveWmUserOnTheCreatingThread)
{
    const std::wstring name = channelName();
    Recorder recorder;
    utility::WindowIPC receiver;
    ASSERT_TRUE(receiver.create(name, &recorder));
    EXPECT_FALSE(IsWindowVisible(receiver.window()));
    EXPECT_FALSE(receiver.create(name, &recorder));  // one window per object
    EXPECT_FALSE(receiver.openByClass(name));        // nor a sender as well

    utility::WindowIPC sender;
    EXPECT_FALSE(sender.open(name, L"some title"));  // the channel window has none
    ASSERT_TRUE(sender.open(name, L""));
    EXPECT_TRUE(sender.postMessage(WM_USER, 1, 2));
    EXPECT_TRUE(sender.postMessage(WM_USER + 1, 3, 4));
    std::thread worker([&] { sender.postMessage(9111, 5, static_cast<LPARAM>(-6)); });
    worker.join();
    ASSERT_TRUE(testutil::pumpUntil([&] { return recorder.received.size() >= 2; }, 5000));
    testutil::pumpFor(50);
    // WM_COPYDATA is handed over as well, with its data record.
    COPYDATASTRUCT data = {7, 0, nullptr};
    SendMessageW(receiver.window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    EXPECT_EQ((std::vector<std::string>{"1025 3 4", "9111 5 -6",
                                        "74 0 " + std::to_string(reinterpret_cast<LPARAM>(&data))}),
              recorder.received);
}

TEST(WindowIPC, SendingEndNeedsAnOpenWindow)
{
    utility::WindowIPC sender;
    EXPECT_FALSE(sender.postMessage(9111, 0, 0));
    launchertest::LogCapture log;
    SetLastError(ERROR_ACCESS_DENIED);  // a stale error must not be logged
    EXPECT_FALSE(sender.openByClass(channelName()));
    EXPECT_FALSE(sender.postMessage(9111, 0, 0));
    EXPECT_TRUE(log.lines().empty());

    // A channel ends with its receiver; its name can be used again.
    const std::wstring name = channelName();
    Recorder recorder;
    {
        utility::WindowIPC receiver;
        ASSERT_TRUE(receiver.create(name, &recorder));
    }
    EXPECT_FALSE(sender.openByClass(name));
    utility::WindowIPC again;
    EXPECT_TRUE(again.create(name, &recorder));
}

TEST(WindowIPC, SecondProcessReachesTheFirst)
{
    const std::wstring name = channelName();
    Recorder recorder;
    utility::WindowIPC receiver;
    ASSERT_TRUE(receiver.create(name, &recorder));
    const std::wstring peer = testutil::exeDir() + L"zul_additions_peer.exe";
    HANDLE process = utility::process::create(peer, L"post " + name + L" 9111 77 88", false);
    ASSERT_NE(nullptr, process);
    EXPECT_TRUE(testutil::pumpUntil([&] { return !recorder.received.empty(); }, 20000));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 20000));
    DWORD exitCode = 99;
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(std::vector<std::string>{"9111 77 88"}, recorder.received);

    // A channel nobody created: the peer finds nothing.
    utility::process::execute(peer, L"post " + channelName() + L" 9111 1 2", false, 20000, exitCode);
    EXPECT_EQ(1u, exitCode);
}
