#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "common/test_util.h"
#include "foundation/log.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/worker_thread.h"

namespace {

// Counts how often a task ran and was released, and on which thread it ran.
struct TaskProbe {
    std::atomic<int> runs{0};
    std::atomic<int> releases{0};
    DWORD thread = 0;
};

class ProbeTask : public Runable {
public:
    ProbeTask(TaskProbe& probe, std::vector<int>* order = nullptr, int tag = 0)
        : probe_(probe), order_(order), tag_(tag)
    {
    }
    ~ProbeTask() override { ++probe_.releases; }
    void run() override
    {
        ++probe_.runs;
        probe_.thread = GetCurrentThreadId();
        if (order_)
            order_->push_back(tag_);
    }

private:
    TaskProbe& probe_;
    std::vector<int>* order_;
    int tag_;
};

class DispatcherTest : public testing::Test {
protected:
    void SetUp() override { utility::init(); }
    void TearDown() override { utility::uninit(); }
};

TEST_F(DispatcherTest, TasksPostedFromAWorkerRunOnceEachOnTheUiThreadInOrder)
{
    const int kTasks = 100;
    std::vector<TaskProbe> probes(kTasks);
    std::vector<int> order;
    UiTaskPoster poster;

    utility::WorkerThread worker;
    ASSERT_TRUE(worker.start(new FunctionRunable([&] {
        for (int i = 0; i < kTasks; ++i)
            EXPECT_TRUE(poster.post(new ProbeTask(probes[i], &order, i)));
    })));
    ASSERT_TRUE(testutil::pumpUntil([&] { return probes[kTasks - 1].runs == 1; }, 5000));
    worker.join(1000);

    for (int i = 0; i < kTasks; ++i) {
        EXPECT_EQ(probes[i].runs, 1);
        EXPECT_EQ(probes[i].releases, 1);
        EXPECT_EQ(probes[i].thread, GetCurrentThreadId());
        EXPECT_EQ(order[i], i);
    }
}

TEST_F(DispatcherTest, ATaskMayPostAnotherFromItsRun)
{
    TaskProbe inner;
    bool outerRan = false;
    ASSERT_TRUE(postToUiThread(new FunctionRunable([&] {
        outerRan = true;
        postToUiThread(new ProbeTask(inner));
    })));
    ASSERT_TRUE(testutil::pumpUntil([&] { return inner.runs == 1; }, 2000));
    EXPECT_TRUE(outerRan);
    EXPECT_EQ(inner.releases, 1);
}

TEST_F(DispatcherTest, TimersTickUntilStoppedAndReleaseTheirTaskOnce)
{
    TaskProbe probe;
    UiTimer timer;
    EXPECT_FALSE(timer.start(0, new ProbeTask(probe)));
    EXPECT_EQ(probe.releases, 1);  // refused task is not leaked
    EXPECT_FALSE(timer.start(10, nullptr));
    EXPECT_FALSE(timer.isActive());

    TaskProbe ticking;
    ASSERT_TRUE(timer.start(10, new ProbeTask(ticking)));
    EXPECT_TRUE(timer.isActive());
    ASSERT_TRUE(testutil::pumpUntil([&] { return ticking.runs >= 3; }, 3000));
    EXPECT_EQ(ticking.releases, 0);
    timer.stop();
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(ticking.releases, 1);
    int runs = ticking.runs;
    testutil::pumpFor(100);
    EXPECT_EQ(ticking.runs, runs);
}

// A task whose run throws, counted like a probe.
class ThrowingTask : public ProbeTask {
public:
    explicit ThrowingTask(TaskProbe& probe) : ProbeTask(probe) {}
    void run() override
    {
        ProbeTask::run();
        throw std::bad_alloc();
    }
};

std::mutex g_logMutex;
std::vector<std::wstring> g_logLines;
void keepLogLine(const char* function, int, const wchar_t* message)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_logLines.push_back(std::wstring(function, function + strlen(function)) + L": " + message);
}
size_t loggedLines(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    size_t count = 0;
    for (const std::wstring& line : g_logLines)
        count += line.find(text) != std::wstring::npos;
    return count;
}

TEST_F(DispatcherTest, ExceptionsLeavingTasksAreLoggedAndNeverEndTheProcess)
{
    g_logLines.clear();
    common::setLogSink(&keepLogLine);
    // On a worker: the task is still released by the join.
    TaskProbe onWorker;
    utility::WorkerThread worker;
    ASSERT_TRUE(worker.start(new ThrowingTask(onWorker)));
    worker.join(5000);
    EXPECT_EQ(1, onWorker.runs);
    EXPECT_EQ(1, onWorker.releases);

    // On the UI thread: released, and the next task still runs.
    TaskProbe posted, after;
    ASSERT_TRUE(postToUiThread(new ThrowingTask(posted)));
    ASSERT_TRUE(postToUiThread(new ProbeTask(after)));
    ASSERT_TRUE(testutil::pumpUntil([&] { return after.runs == 1; }, 5000));
    EXPECT_EQ(1, posted.releases);

    // A timer keeps ticking.
    TaskProbe ticking;
    UiTimer timer;
    ASSERT_TRUE(timer.start(10, new ThrowingTask(ticking)));
    ASSERT_TRUE(testutil::pumpUntil([&] { return ticking.runs >= 2; }, 5000));
    timer.stop();
    EXPECT_EQ(1, ticking.releases);
    EXPECT_EQ(ticking.runs + 2, static_cast<int>(loggedLines(L"task ended by an exception: std::bad_alloc")));
    EXPECT_EQ(1u, loggedLines(L"utility::WorkerThread::threadMain: task ended by an exception"));
    common::setLogSink(&common::logLine);
}

TEST_F(DispatcherTest, ATimerTaskThatStopsItsOwnTimerLivesUntilItsTickReturns)
{
    struct SelfStopping : Runable {
        SelfStopping(UiTimer& timer, int& destroyed, int& runs, bool& aliveAfterStop)
            : timer_(timer), destroyed_(&destroyed), runs_(&runs), aliveAfterStop_(&aliveAfterStop)
        {
        }
        ~SelfStopping() override { ++*destroyed_; }
        void run() override
        {
            // Kept on the stack: after the stop nothing of the object may be
            // needed to tell whether it is still there.
            int* destroyed = destroyed_;
            bool* alive = aliveAfterStop_;
            ++*runs_;
            timer_.stop();
            *alive = *destroyed == 0;
        }
        UiTimer& timer_;
        int* destroyed_;
        int* runs_;
        bool* aliveAfterStop_;
    };
    UiTimer timer;
    int destroyed = 0, runs = 0;
    bool aliveAfterStop = false;
    ASSERT_TRUE(timer.start(10, new SelfStopping(timer, destroyed, runs, aliveAfterStop)));
    ASSERT_TRUE(testutil::pumpUntil([&] { return runs == 1; }, 5000));
    EXPECT_TRUE(aliveAfterStop) << "the task was released inside its own run";
    EXPECT_EQ(1, destroyed);
    EXPECT_FALSE(timer.isActive());
    testutil::pumpFor(100);
    EXPECT_EQ(1, runs);
}

TEST(DispatcherLifetime, DestroyReleasesRemainingTimersAndQueuedTasksAndLaterPostsFail)
{
    utility::init();
    TaskProbe timerTask, queued, late;
    UiTaskDispatcher* dispatcher = UiTaskDispatcher::instance();
    ASSERT_NE(dispatcher, nullptr);
    ASSERT_NE(dispatcher->addTimer(1000, new ProbeTask(timerTask)), 0u);
    ASSERT_TRUE(postToUiThread(new ProbeTask(queued)));
    utility::uninit();

    EXPECT_EQ(timerTask.releases, 1);
    EXPECT_EQ(queued.runs, 0);
    EXPECT_EQ(queued.releases, 1);
    EXPECT_EQ(UiTaskDispatcher::instance(), nullptr);
    EXPECT_FALSE(postToUiThread(new ProbeTask(late)));
    EXPECT_EQ(late.runs, 0);
    EXPECT_EQ(late.releases, 1);
}

// Workers keep posting while the UI thread destroys the dispatcher, round
// after round: the destroy is not held up by them, no post reaches a freed
// dispatcher or a dying window, and every task is released exactly once,
// after running at most once.
TEST(DispatcherLifetime, PostsRacingDestroyAreRunOrReleasedExactlyOnce)
{
    struct CountedTask : Runable {
        CountedTask(std::atomic<int>& runs, std::atomic<int>& releases) : runs_(runs), releases_(releases) {}
        ~CountedTask() override { ++releases_; }
        void run() override
        {
            EXPECT_EQ(1, ++ownRuns_);
            ++runs_;
        }
        std::atomic<int>& runs_;
        std::atomic<int>& releases_;
        int ownRuns_ = 0;
    };
    std::atomic<int> posted{0}, runs{0}, releases{0};
    for (int round = 0; round < 30; ++round) {
        utility::init();
        std::atomic<bool> stop{false};
        std::vector<std::thread> workers;
        // Half of them look the dispatcher up for every post, half keep the
        // pointer they read once.
        UiTaskDispatcher* held = UiTaskDispatcher::instance();
        for (int i = 0; i < 8; ++i) {
            workers.emplace_back([&, i] {
                while (!stop) {
                    ++posted;
                    Runable* task = new CountedTask(runs, releases);
                    if (i % 2)
                        held->post(nullptr, task);
                    else
                        postToUiThread(task);
                }
            });
        }
        // Stops the workers should the destroy wait for them.
        std::thread watchdog([&] {
            for (int i = 0; i < 500 && !stop; ++i)
                Sleep(10);
            stop = true;
        });
        // Runs some of the tasks; the queue never runs dry while they post.
        for (DWORD begin = GetTickCount(); GetTickCount() - begin < 10;) {
            MSG msg;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
        const DWORD start = GetTickCount();
        utility::uninit();
        const DWORD took = GetTickCount() - start;
        Sleep(2);
        stop = true;
        for (std::thread& worker : workers)
            worker.join();
        watchdog.join();
        ASSERT_LT(took, 2500u) << "round " << round;
        ASSERT_EQ(posted.load(), releases.load()) << "round " << round;
    }
    EXPECT_GT(runs.load(), 0);
}

TEST(WorkerThreadTest, SecondStartIsRefusedAndJoinReleasesTheTask)
{
    TaskProbe first, second;
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    utility::WorkerThread worker;
    ASSERT_TRUE(worker.start(new FunctionRunable([gate] { WaitForSingleObject(gate, 5000); })));
    ProbeTask* refused = new ProbeTask(second);
    EXPECT_FALSE(worker.start(refused));
    EXPECT_EQ(second.releases, 0);  // not taken: still the caller's
    refused->release();
    SetEvent(gate);
    worker.join(5000);
    EXPECT_FALSE(worker.isRunning());

    ASSERT_TRUE(worker.start(new ProbeTask(first)));
    worker.join(5000);
    EXPECT_EQ(first.runs, 1);
    EXPECT_EQ(first.releases, 1);
    CloseHandle(gate);
}

// Slow in its thread's exit, as a DLL hearing of the thread's end can be.
std::atomic<bool> g_slowToLeaveLeft{false};
struct SlowToLeave {
    ~SlowToLeave()
    {
        Sleep(1000);
        g_slowToLeaveLeft = true;
    }
};

TEST(WorkerThreadTest, StopRequestCutsTheWaitShortAndStubbornTasksAreTerminated)
{
    utility::WorkerThread worker;
    std::atomic<bool> sawStop{false};
    ASSERT_TRUE(worker.start(new FunctionRunable([&] {
        worker.waitFor(10000);
        sawStop = worker.isStopRequested();
    })));
    Sleep(50);
    DWORD start = GetTickCount();
    worker.requestStop();
    worker.join(5000);
    EXPECT_TRUE(sawStop);
    EXPECT_LT(GetTickCount() - start, 2000u);

    // A task that ignores the stop is terminated after the timeout and
    // released once, only when its thread has ended.
    struct StubbornTask : Runable {
        StubbornTask(TaskProbe& probe, bool& endedAtRelease) : probe_(probe), endedAtRelease_(endedAtRelease) {}
        ~StubbornTask() override
        {
            endedAtRelease_ = WaitForSingleObject(self_, 0) == WAIT_OBJECT_0;
            CloseHandle(self_);
            ++probe_.releases;
        }
        void run() override
        {
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self_, SYNCHRONIZE, FALSE,
                            0);
            ++probe_.runs;
            Sleep(20000);
        }
        TaskProbe& probe_;
        bool& endedAtRelease_;
        HANDLE self_ = nullptr;
    };
    TaskProbe stubborn;
    bool endedAtRelease = false;
    ASSERT_TRUE(worker.start(new StubbornTask(stubborn, endedAtRelease)));
    ASSERT_TRUE(testutil::pumpUntil([&] { return stubborn.runs == 1; }, 5000));
    start = GetTickCount();
    worker.requestStop();
    worker.join(200);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 150u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_FALSE(worker.isRunning());
    EXPECT_EQ(stubborn.releases, 1);
    EXPECT_TRUE(endedAtRelease);

    // A thread whose task has returned but which is slow to leave is waited
    // for: ended there, it would hold the loader lock for good.
    HANDLE self = nullptr;
    ASSERT_TRUE(worker.start(new FunctionRunable([&] {
        static thread_local SlowToLeave slow;
        (void)slow;
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self,
                        SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, 0);
    })));
    Sleep(300);
    worker.join(100);
    EXPECT_TRUE(g_slowToLeaveLeft);
    DWORD exitCode = 1;
    ASSERT_NE(nullptr, self);
    EXPECT_TRUE(GetExitCodeThread(self, &exitCode));
    EXPECT_EQ(0u, exitCode);
    CloseHandle(self);
}

}  // namespace
