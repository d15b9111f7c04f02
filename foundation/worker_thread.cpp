#include "worker_thread.h"

#include <exception>

#include "log.h"

namespace utility {

bool runTask(Runable& task, const char* owner)
{
    try {
        task.run();
        return true;
    } catch (const std::exception& error) {
        // The log may need memory too: its own failure is swallowed as well.
        try {
            common::log(owner, __LINE__, L"task ended by an exception: %hs", error.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            common::log(owner, __LINE__, L"task ended by an unknown exception");
        } catch (...) {
        }
    }
    return false;
}

WorkerThread::~WorkerThread()
{
    // An owner that forgot to join must not leave a thread running over a
    // released task: give it the installer's exit grace, then end it.
    if (thread_.valid() || run_)
        join(2000);
}

DWORD WINAPI WorkerThread::threadMain(LPVOID param)
{
    std::unique_ptr<std::shared_ptr<Run>> run(static_cast<std::shared_ptr<Run>*>(param));
    if ((*run)->task)
        runTask(*(*run)->task, "utility::WorkerThread::threadMain");
    (*run)->returned = true;
    return 0;
}

bool WorkerThread::start(Runable* task)
{
    if (thread_.valid())
        return false;
    stopRequested_ = false;
    // Manual reset: every wait after a stop ends at once, however many there are.
    wakeEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::shared_ptr<Run> run = std::make_shared<Run>();
    run->task = task;
    std::shared_ptr<Run>* threadsRun = new std::shared_ptr<Run>(run);
    thread_.reset(CreateThread(nullptr, 0, &WorkerThread::threadMain, threadsRun, 0, nullptr));
    if (!thread_.valid()) {
        common::log("utility::WorkerThread::start", __LINE__, L"create thread failed! lastError = %d", GetLastError());
        delete threadsRun;
        wakeEvent_.reset();
        return false;
    }
    run_ = run;
    return true;
}

void WorkerThread::join(DWORD timeoutMs)
{
    bool taskFree = true;
    if (thread_.valid()) {
        if (WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_TIMEOUT) {
            if (run_ && run_->returned) {
                // Only the thread's exit is left, during which it holds the
                // loader lock while the DLLs hear of it: ended there, it would
                // leave that lock taken and hang the process's own exit.
                common::log("utility::WorkerThread::join", __LINE__,
                            L"thread still leaving %u ms after its task, waiting for it", timeoutMs);
                if (WaitForSingleObject(thread_.get(), kTerminateWaitMs) == WAIT_TIMEOUT)
                    common::log("utility::WorkerThread::join", __LINE__, L"thread left to end by itself");
            } else {
                common::log("utility::WorkerThread::join", __LINE__, L"thread did not end within %u ms, terminating it",
                            timeoutMs);
                TerminateThread(thread_.get(), 0xFFFFFFFF);
                // The thread may still be inside its task until it has died.
                taskFree = WaitForSingleObject(thread_.get(), kTerminateWaitMs) == WAIT_OBJECT_0;
            }
        }
        thread_.reset();
    }
    Runable* task = run_ ? run_->task : nullptr;
    if (task && !taskFree) {
        // Never release a task that a thread may still be running.
        common::log("utility::WorkerThread::join", __LINE__,
                    L"terminated thread still alive, its task is left in place lastError = %d", GetLastError());
    } else if (task) {
        task->release();
    }
    run_.reset();
    wakeEvent_.reset();
}

void WorkerThread::requestStop()
{
    stopRequested_ = true;
    if (wakeEvent_.valid())
        SetEvent(wakeEvent_.get());
}

void WorkerThread::waitFor(DWORD ms)
{
    if (wakeEvent_.valid())
        WaitForSingleObject(wakeEvent_.get(), ms);
    else
        Sleep(ms);
}

}  // namespace utility
