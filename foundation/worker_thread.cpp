#include "worker_thread.h"

#include "log.h"

namespace utility {

WorkerThread::~WorkerThread()
{
    // An owner that forgot to join must not leave a thread running over a
    // released task: give it the installer's exit grace, then end it.
    if (thread_ || task_)
        join(2000);
}

DWORD WINAPI WorkerThread::threadMain(LPVOID param)
{
    Runable* task = static_cast<Runable*>(param);
    if (task)
        task->run();
    return 0;
}

bool WorkerThread::start(Runable* task)
{
    if (thread_)
        return false;
    stopRequested_ = false;
    wakeEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &WorkerThread::threadMain, task, 0, nullptr);
    if (!thread_) {
        common::log("utility::WorkerThread::start", __LINE__,
                    L"create thread failed! lastError = %d", GetLastError());
        if (wakeEvent_)
            CloseHandle(wakeEvent_);
        wakeEvent_ = nullptr;
        return false;
    }
    task_ = task;
    return true;
}

void WorkerThread::join(DWORD timeoutMs)
{
    bool ended = true;
    if (thread_) {
        if (WaitForSingleObject(thread_, timeoutMs) == WAIT_TIMEOUT) {
            common::log("utility::WorkerThread::join", __LINE__,
                        L"thread did not end within %u ms, terminating it", timeoutMs);
            TerminateThread(thread_, 0xFFFFFFFF);
            // The thread may still be inside its task until it has died.
            ended = WaitForSingleObject(thread_, kTerminateWaitMs) == WAIT_OBJECT_0;
        }
        CloseHandle(thread_);
        thread_ = nullptr;
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
    if (wakeEvent_) {
        CloseHandle(wakeEvent_);
        wakeEvent_ = nullptr;
    }
}

void WorkerThread::requestStop()
{
    stopRequested_ = true;
    if (wakeEvent_)
        SetEvent(wakeEvent_);
}

void WorkerThread::waitFor(DWORD ms)
{
    if (wakeEvent_)
        WaitForSingleObject(wakeEvent_, ms);
    else
        Sleep(ms);
}

}  // namespace utility
