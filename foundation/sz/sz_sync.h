// The extraction's locks and conditions: Windows' slim reader/writer lock
// and condition variable. The C++ library's mutex and condition variable
// of this tool chain sleep on kernel events and semaphores, which under Wine
// are a round trip to the server for every sleep and every wake-up; these
// sleep on an address, which Wine serves in the process.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>

// Exclusive only; usable with std::lock_guard and std::unique_lock.
class SzLock {
public:
    SzLock() = default;
    SzLock(const SzLock&) = delete;
    SzLock& operator=(const SzLock&) = delete;
    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }

private:
    friend class SzCondition;
    SRWLOCK lock_ = SRWLOCK_INIT;
};

class SzCondition {
public:
    SzCondition() = default;
    SzCondition(const SzCondition&) = delete;
    SzCondition& operator=(const SzCondition&) = delete;

    // Sleeps until woken (or, rarely, for no reason): callers test their
    // condition again.
    void wait(std::unique_lock<SzLock>& lock) { waitFor(lock, INFINITE); }
    // False when ms passed without a wake-up.
    bool waitFor(std::unique_lock<SzLock>& lock, DWORD ms)
    {
        return SleepConditionVariableSRW(&condition_, &lock.mutex()->lock_, ms, 0) != FALSE;
    }
    template <class Condition>
    void wait(std::unique_lock<SzLock>& lock, Condition condition)
    {
        while (!condition()) {
            wait(lock);
        }
    }
    void wakeAll() { WakeAllConditionVariable(&condition_); }

private:
    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

// A point where one thread waits for a condition that others make true.
// The condition is read from atomics, so a waiter whose condition already
// holds goes on without taking the lock, and a thread that changes it wakes
// the waiters only when one sleeps.
class SzWaitPoint {
public:
    // Returns once condition() is true; condition reads atomics only.
    template <class Condition>
    void wait(Condition condition)
    {
        if (condition()) {
            return;
        }
        std::unique_lock<SzLock> lock(lock_);
        sleepers_++;
        changed_.wait(lock, condition);
        sleepers_--;
    }

    // Called after a change that may make a waiter's condition true.
    void wake()
    {
        if (sleepers_.load() == 0) {
            return;
        }
        std::lock_guard<SzLock> lock(lock_);
        changed_.wakeAll();
    }

private:
    SzLock lock_;
    SzCondition changed_;
    std::atomic<unsigned> sleepers_{0};
};
