// Hands tasks from any thread to the UI thread through a hidden message
// window, and runs repeating timers on the UI thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>

#include "runable.h"
#include "worker_thread.h"

const UINT WM_UITASK = 8888;

// One per process, never freed: a thread that looked it up before a destroy
// still reaches a live object, which then refuses the post. Posting and
// destroying take one lock, so a task is either queued before the destroy
// takes the queue's remains or refused; every task is run or released once.
class UiTaskDispatcher {
public:
    // UI thread: creates the hidden window, unless created already.
    static void create();
    // UI thread: releases the timers and the queued tasks, destroys the window
    // and shuts the logger down.
    static void destroy();
    // The dispatcher between create and destroy, else null.
    static UiTaskDispatcher* instance();

    // Any thread. Queues the task behind earlier messages of the UI thread.
    // False when no dispatcher window exists or the post fails; the task is
    // then released here, so a failed post never leaks or runs it.
    bool post(void* poster, Runable* task);

    // UI thread only. Returns the timer id, 0 on failure (the task is not taken).
    UINT_PTR addTimer(UINT intervalMs, Runable* task);
    // Stops the timer and releases its task; a task that stops its own timer
    // is released when its tick returns.
    void removeTimer(UINT_PTR id);

    HWND window() const { return window_; }

private:
    UiTaskDispatcher() = default;
    ~UiTaskDispatcher() = delete;
    static UiTaskDispatcher& theDispatcher();
    void createWindow();
    void destroyWindow();
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void tick(UINT_PTR id);
    // True when the task is running a tick now: its release is then left to
    // that tick.
    bool leaveReleaseToTick(Runable* task);
    void releaseTimerTask(Runable* task);

    // A timer task inside its run, innermost first (a run may pump messages,
    // and another timer may tick inside it).
    struct RunningTimer {
        Runable* task;
        bool removed;
        RunningTimer* outer;
    };

    HWND window_ = nullptr;
    std::map<UINT_PTR, Runable*> timers_;
    UINT_PTR timerCounter_ = 0;
    RunningTimer* runningTimers_ = nullptr;
    utility::CriticalSection lock_;  // the window handle against post and destroy
    std::atomic<bool> created_{false};
};

// Identifies a posting component by its address.
class UiTaskPoster {
public:
    bool post(Runable* task);
};

// Posts through the process's global poster (launcher).
bool postToUiThread(Runable* task);

// One repeating UI-thread timer (launcher).
class UiTimer {
public:
    ~UiTimer() { stop(); }
    bool start(UINT intervalMs, Runable* task);
    void stop();
    bool isActive() const { return id_ != 0; }

private:
    UINT_PTR id_ = 0;
};

namespace utility {
// Restricts the DLL search (see system_dll.h), installs the log sink and
// creates the dispatcher on the calling (UI) thread.
void init();
// Destroys the dispatcher, which also shuts the logger down.
void uninit();
}  // namespace utility
