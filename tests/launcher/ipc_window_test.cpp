// The window IPC channel: forwarding rules, the sending end, and a second
// process reaching the first.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "additions_test_log.h"
#include "common/test_util.h"
#include "foundation/process.h"
#include "launcher/services/window_ipc.h"

using addtest::LogCapture;

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD threadId;
};

class Recorder : public utility::IWindowIPCHandle {
public:
    LRESULT onHandleWindowIPC(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back({message, wParam, lParam, GetCurrentThreadId()});
        return 1;
    }
    bool has(UINT message) const
    {
        for (const Received& r : received)
            if (r.message == message)
                return true;
        return false;
    }
    std::vector<Received> received;
};

std::wstring channelName()
{
    static int counter = 0;
    wchar_t name[128];
    swprintf(name, 128, L"{zul-ipc-test-%lu-%lu-%d}", GetCurrentProcessId(), GetTickCount(),
             ++counter);
    return name;
}

}  // namespace

TEST(WindowIPC, ForwardsUserMessagesAboveWmUser)
{
    const std::wstring name = channelName();
    Recorder recorder;
    utility::WindowIPC receiver;
    ASSERT_TRUE(receiver.create(name, &recorder));
    ASSERT_NE(nullptr, receiver.window());
    EXPECT_FALSE(IsWindowVisible(receiver.window()));

    utility::WindowIPC sender;
    ASSERT_TRUE(sender.openByClass(name));
    EXPECT_EQ(receiver.window(), sender.window());
    EXPECT_TRUE(sender.postMessage(WM_USER, 1, 2));
    EXPECT_TRUE(sender.postMessage(WM_USER + 1, 3, 4));
    // Senders may be any thread; the handler runs on the creating thread.
    std::thread worker([&] { sender.postMessage(9111, 5, static_cast<LPARAM>(-6)); });
    worker.join();
    ASSERT_TRUE(testutil::pumpUntil([&] { return recorder.has(9111); }, 5000));

    ASSERT_EQ(2u, recorder.received.size());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 1), recorder.received[0].message);
    EXPECT_EQ(3u, recorder.received[0].wParam);
    EXPECT_EQ(4, recorder.received[0].lParam);
    EXPECT_EQ(9111u, recorder.received[1].message);
    EXPECT_EQ(5u, recorder.received[1].wParam);
    EXPECT_EQ(-6, recorder.received[1].lParam);
    for (const Received& r : recorder.received)
        EXPECT_EQ(GetCurrentThreadId(), r.threadId);

    // WM_COPYDATA is handed over as well, with its data record.
    char payload[] = "hello";
    COPYDATASTRUCT data = {7, sizeof(payload), payload};
    EXPECT_EQ(0, SendMessageW(receiver.window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));
    ASSERT_EQ(3u, recorder.received.size());
    EXPECT_EQ(static_cast<UINT>(WM_COPYDATA), recorder.received[2].message);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&data), recorder.received[2].lParam);
}

TEST(WindowIPC, SendingEndNeedsAnOpenWindow)
{
    utility::WindowIPC sender;
    EXPECT_FALSE(sender.postMessage(9111, 0, 0));

    LogCapture log;
    SetLastError(ERROR_ACCESS_DENIED);  // a stale error must not be logged
    EXPECT_FALSE(sender.openByClass(channelName()));
    EXPECT_FALSE(sender.open(L"", L"{no window has this title}"));
    EXPECT_EQ(nullptr, sender.window());
    EXPECT_FALSE(sender.postMessage(9111, 0, 0));
    EXPECT_TRUE(log.lines().empty());
}

TEST(WindowIPC, OpenByClassAndTitle)
{
    const std::wstring name = channelName();
    Recorder recorder;
    utility::WindowIPC receiver;
    ASSERT_TRUE(receiver.create(name, &recorder));

    utility::WindowIPC sender;
    EXPECT_FALSE(sender.open(name, L"some title"));  // the channel window has none
    EXPECT_TRUE(sender.open(name, L""));
    // A receiver cannot be turned into a sender.
    EXPECT_FALSE(receiver.openByClass(name));
    EXPECT_EQ(receiver.window(), sender.window());
}

TEST(WindowIPC, ChannelEndsWithItsReceiver)
{
    const std::wstring name = channelName();
    {
        Recorder recorder;
        utility::WindowIPC receiver;
        ASSERT_TRUE(receiver.create(name, &recorder));
    }
    utility::WindowIPC sender;
    EXPECT_FALSE(sender.openByClass(name));

    // The same channel can be created again (the class stays registered).
    Recorder recorder;
    utility::WindowIPC receiver;
    EXPECT_TRUE(receiver.create(name, &recorder));
    EXPECT_FALSE(receiver.create(name, &recorder));  // one window per object
    // Without a handler, messages are taken and dropped.
    utility::WindowIPC quiet;
    const std::wstring quietName = channelName();
    ASSERT_TRUE(quiet.create(quietName, nullptr));
    EXPECT_EQ(0, SendMessageW(quiet.window(), 9111, 1, 2));
}

TEST(WindowIPC, SecondProcessReachesTheFirst)
{
    const std::wstring name = channelName();
    Recorder recorder;
    utility::WindowIPC receiver;
    ASSERT_TRUE(receiver.create(name, &recorder));

    const std::wstring peer = testutil::exeDir() + L"zul_additions_peer.exe";
    ASSERT_TRUE(testutil::fileExists(peer));
    HANDLE process = utility::process::create(peer, L"post " + name + L" 9111 77 88", false);
    ASSERT_NE(nullptr, process);
    EXPECT_TRUE(testutil::pumpUntil([&] { return recorder.has(9111); }, 20000));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 20000));
    DWORD exitCode = 99;
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    EXPECT_EQ(0u, exitCode);

    ASSERT_EQ(1u, recorder.received.size());
    EXPECT_EQ(9111u, recorder.received[0].message);
    EXPECT_EQ(77u, recorder.received[0].wParam);
    EXPECT_EQ(88, recorder.received[0].lParam);

    // A channel nobody created: the peer finds nothing.
    DWORD code = 0;
    utility::process::execute(peer, L"post " + channelName() + L" 9111 1 2", false, 20000, code);
    EXPECT_EQ(1u, code);
}
