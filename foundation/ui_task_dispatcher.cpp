#include "ui_task_dispatcher.h"

#include <vector>

#include "log.h"
#include "system_dll.h"

namespace {
UiTaskPoster g_globalPoster;
}  // namespace

UiTaskDispatcher& UiTaskDispatcher::theDispatcher()
{
    static UiTaskDispatcher* dispatcher = new UiTaskDispatcher();
    return *dispatcher;
}

void UiTaskDispatcher::create()
{
    UiTaskDispatcher& dispatcher = theDispatcher();
    if (dispatcher.created_)
        return;
    dispatcher.createWindow();
    dispatcher.created_ = true;
}

void UiTaskDispatcher::destroy()
{
    UiTaskDispatcher& dispatcher = theDispatcher();
    if (dispatcher.created_) {
        dispatcher.created_ = false;
        dispatcher.destroyWindow();
    } else {
        common::Logger::shutdown();
    }
}

UiTaskDispatcher* UiTaskDispatcher::instance()
{
    UiTaskDispatcher& dispatcher = theDispatcher();
    return dispatcher.created_ ? &dispatcher : nullptr;
}

void UiTaskDispatcher::createWindow()
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!window) {
        common::log("UiTaskDispatcher::createWindow", __LINE__, L"create window failed! lastError = %d",
                    GetLastError());
        return;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UiTaskDispatcher::windowProc));
    utility::ScopedLock guard(lock_);
    window_ = window;
}

void UiTaskDispatcher::destroyWindow()
{
    for (auto& timer : timers_) {
        if (window_)
            KillTimer(window_, timer.first);
        releaseTimerTask(timer.second);
    }
    timers_.clear();
    HWND window = nullptr;
    {
        // From here on every post is refused: what is queued now is all
        // there will be.
        utility::ScopedLock guard(lock_);
        window = window_;
        window_ = nullptr;
    }
    if (window) {
        // Tasks still queued for the window would go with it: take them off
        // the queue first and release them.
        std::vector<Runable*> queued;
        MSG msg;
        while (PeekMessageW(&msg, window, WM_UITASK, WM_UITASK, PM_REMOVE)) {
            if (msg.lParam)
                queued.push_back(reinterpret_cast<Runable*>(msg.lParam));
        }
        DestroyWindow(window);
        for (Runable* task : queued)
            task->release();
    }
    common::Logger::shutdown();
}

bool UiTaskDispatcher::post(void* poster, Runable* task)
{
    if (!task)
        return false;
    DWORD error = ERROR_INVALID_WINDOW_HANDLE;
    {
        utility::ScopedLock guard(lock_);
        if (window_ &&
            PostMessageW(window_, WM_UITASK, reinterpret_cast<WPARAM>(poster), reinterpret_cast<LPARAM>(task)))
            return true;
        if (window_)
            error = GetLastError();
    }
    common::log("UiTaskDispatcher::post", __LINE__, L"post task failed! lastError = %d", error);
    task->release();
    return false;
}

UINT_PTR UiTaskDispatcher::addTimer(UINT intervalMs, Runable* task)
{
    if (!window_ || !task)
        return 0;
    UINT_PTR id = ++timerCounter_;
    UINT_PTR result = SetTimer(window_, id, intervalMs, nullptr);
    if (!result) {
        common::log("UiTaskDispatcher::addTimer", __LINE__, L"set timer failed! lastError = %d", GetLastError());
        return 0;
    }
    timers_[result] = task;
    return result;
}

void UiTaskDispatcher::removeTimer(UINT_PTR id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    Runable* task = it->second;
    timers_.erase(it);
    if (window_)
        KillTimer(window_, id);
    releaseTimerTask(task);
}

bool UiTaskDispatcher::leaveReleaseToTick(Runable* task)
{
    for (RunningTimer* running = runningTimers_; running; running = running->outer) {
        if (running->task == task) {
            running->removed = true;
            return true;
        }
    }
    return false;
}

void UiTaskDispatcher::releaseTimerTask(Runable* task)
{
    if (!leaveReleaseToTick(task))
        task->release();
}

void UiTaskDispatcher::tick(UINT_PTR id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    Runable* task = it->second;
    for (RunningTimer* running = runningTimers_; running; running = running->outer) {
        // Its run pumps messages: this tick waits for the next one.
        if (running->task == task)
            return;
    }
    // The run may stop this very timer (and so release the task): the task
    // lives until the run has returned.
    RunningTimer running = {task, false, runningTimers_};
    runningTimers_ = &running;
    utility::runTask(*task, "UiTaskDispatcher::tick");
    runningTimers_ = running.outer;
    if (running.removed)
        task->release();
}

LRESULT CALLBACK UiTaskDispatcher::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    UiTaskDispatcher* self = reinterpret_cast<UiTaskDispatcher*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_UITASK) {
        Runable* task = reinterpret_cast<Runable*>(lParam);
        if (task) {
            utility::runTask(*task, "UiTaskDispatcher::windowProc");
            task->release();
        }
        return 0;
    }
    if (msg == WM_TIMER) {
        if (self)
            self->tick(static_cast<UINT_PTR>(wParam));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool UiTaskPoster::post(Runable* task)
{
    UiTaskDispatcher* dispatcher = UiTaskDispatcher::instance();
    if (!dispatcher) {
        if (task)
            task->release();
        return false;
    }
    return dispatcher->post(this, task);
}

bool postToUiThread(Runable* task) { return g_globalPoster.post(task); }

bool UiTimer::start(UINT intervalMs, Runable* task)
{
    // The timer owns the task from here on, also when it refuses it.
    if (intervalMs == 0 || !task) {
        if (task)
            task->release();
        return false;
    }
    UiTaskDispatcher* dispatcher = UiTaskDispatcher::instance();
    if (!dispatcher) {
        task->release();
        return false;
    }
    stop();
    id_ = dispatcher->addTimer(intervalMs, task);
    if (!id_)
        task->release();
    return id_ != 0;
}

void UiTimer::stop()
{
    if (!id_)
        return;
    if (UiTaskDispatcher* dispatcher = UiTaskDispatcher::instance())
        dispatcher->removeTimer(id_);
    id_ = 0;
}

namespace utility {

void init()
{
    restrictDllSearch();
    common::setLogSink(&common::logLine);
    UiTaskDispatcher::create();
}

void uninit() { UiTaskDispatcher::destroy(); }

}  // namespace utility
