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
    if (thread_.valid() || task_)
        join(2000);
}

DWORD WINAPI WorkerThread::threadMain(LPVOID param)
{
    Runable* task = static_cast<Runable*>(param);
    if (task)
        runTask(*task, "utility::WorkerThread::threadMain");
    return 0;
}

bool WorkerThread::start(Runable* task)
{
    if (thread_.valid())
        return false;
    stopRequested_ = false;
    // Manual reset: every wait after a stop ends at once, however many there are.
    wakeEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, &WorkerThread::threadMain, task, 0, nullptr));
    if (!thread_.valid()) {
        common::log("utility::WorkerThread::start", __LINE__,
                    L"create thread failed! lastError = %d", GetLastError());
        wakeEvent_.reset();
        return false;
    }
    task_ = task;
    return true;
}

void WorkerThread::join(DWORD timeoutMs)
{
    bool ended = true;
    if (thread_.valid()) {
        if (WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_TIMEOUT) {
            common::log("utility::WorkerThread::join", __LINE__,
                        L"thread did not end within %u ms, terminating it", timeoutMs);
            TerminateThread(thread_.get(), 0xFFFFFFFF);
            // The thread may still be inside its task until it has died.
            ended = WaitForSingleObject(thread_.get(), kTerminateWaitMs) == WAIT_OBJECT_0;
        }
        thread_.reset();
    }
    if (task_ && !ended) {
        // Never release a task that a thread may still be running.
        common::log("utility::WorkerThread::join", __LINE__,
                    L"terminated thread still alive, its task is left in place lastError = %d",
                    GetLastError());
    } else if (task_) {
        task_->release();
    }
    task_ = nullptr;
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
