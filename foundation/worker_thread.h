// A background thread that runs one task at a time, and the small lock helpers.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "runable.h"
#include "scoped_handle.h"

namespace utility {

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&cs_); }
    ~CriticalSection() { DeleteCriticalSection(&cs_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void lock() { EnterCriticalSection(&cs_); }
    void unlock() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& cs) : cs_(cs) { cs_.lock(); }
    ~ScopedLock() { cs_.unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& cs_;
};

// A copy of a shared field taken under its lock, and a store into one.
template <typename T>
T lockedCopy(CriticalSection& lock, const T& field)
{
    ScopedLock guard(lock);
    return field;
}

template <typename T, typename V>
void lockedStore(CriticalSection& lock, T& field, const V& value)
{
    ScopedLock guard(lock);
    field = value;
}

// Runs the task and returns true; an exception that leaves it (std::bad_alloc
// from a growing buffer, anything else) is logged under owner and swallowed,
// with false: a task must never end the process through the thread or the
// window procedure that runs it.
bool runTask(Runable& task, const char* owner);

class WorkerThread {
public:
    // How long a program's exit waits for a worker it asked to stop. A busy
    // machine may need seconds; a thread ended by force in the middle of its
    // work could keep a lock that the process's own exit needs.
    static const DWORD kExitStopWaitMs = 10000;

    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Takes the task and starts the thread. False, without taking the task,
    // while a thread is held or when the thread cannot be created.
    bool start(Runable* task);
    // Waits up to timeoutMs, terminates a thread whose task did not end and
    // waits for it to die, then releases the task. A thread whose task has
    // returned is only on its way out and is never terminated.
    void join(DWORD timeoutMs);
    void requestStop();
    bool isStopRequested() const { return stopRequested_; }
    // A sleep that requestStop cuts short.
    void waitFor(DWORD ms);
    // Set by requestStop and left set until the next start, so that a task
    // waiting on handles of its own (a process it started) waits on this one
    // too and a stop wakes it. Null while no thread is held.
    HANDLE stopEvent() const { return wakeEvent_.get(); }
    bool isRunning() const { return thread_.valid(); }

private:
    // What one start shares with its thread; the thread holds a reference of
    // its own, so that it never writes into an owner that has moved on.
    struct Run {
        Runable* task = nullptr;
        std::atomic<bool> returned{false};
    };

    static const DWORD kTerminateWaitMs = 5000;
    static DWORD WINAPI threadMain(LPVOID param);

    std::shared_ptr<Run> run_;
    ScopedHandle thread_;
    ScopedHandle wakeEvent_;
    volatile bool stopRequested_ = false;
};

}  // namespace utility
