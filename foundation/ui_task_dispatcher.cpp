#include "ui_task_dispatcher.h"

#include <atomic>

#include "log.h"

namespace {
std::atomic<UiTaskDispatcher*> g_dispatcher{nullptr};
UiTaskPoster g_globalPoster;
}  // namespace

UiTaskDispatcher::UiTaskDispatcher() = default;

UiTaskDispatcher::~UiTaskDispatcher() { destroyWindow(); }

void UiTaskDispatcher::create()
{
    if (g_dispatcher)
        return;
    UiTaskDispatcher* dispatcher = new UiTaskDispatcher();
    dispatcher->createWindow();
    g_dispatcher = dispatcher;
}

void UiTaskDispatcher::destroy()
{
    UiTaskDispatcher* dispatcher = g_dispatcher.exchange(nullptr);
    if (dispatcher) {
        delete dispatcher;
    } else {
        common::Logger::shutdown();
    }
}

UiTaskDispatcher* UiTaskDispatcher::instance() { return g_dispatcher; }

void UiTaskDispatcher::createWindow()
{
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              nullptr, nullptr);
    if (!window_) {
        common::log("UiTaskDispatcher::createWindow", __LINE__,
                    L"create window failed! lastError = %d", GetLastError());
        return;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UiTaskDispatcher::windowProc));
}

void UiTaskDispatcher::destroyWindow()
{
    for (auto& timer : timers_) {
        if (window_)
            KillTimer(window_, timer.first);
        timer.second->release();
    }
    timers_.clear();
    if (window_) {
        // Tasks still queued for the window are dropped with it; take them
        // off the queue and release them so none leaks.
        MSG msg;
        while (PeekMessageW(&msg, window_, WM_UITASK, WM_UITASK, PM_REMOVE)) {
            Runable* task = reinterpret_cast<Runable*>(msg.lParam);
            if (task)
                task->release();
        }
        DestroyWindow(window_);
        window_ = nullptr;
    }
    common::Logger::shutdown();
}

bool UiTaskDispatcher::post(void* poster, Runable* task)
{
    if (!task)
        return false;
    if (!window_ || !PostMessageW(window_, WM_UITASK, reinterpret_cast<WPARAM>(poster),
                                  reinterpret_cast<LPARAM>(task))) {
        common::log("UiTaskDispatcher::post", __LINE__, L"post task failed! lastError = %d",
                    GetLastError());
        task->release();
        return false;
    }
    return true;
}

UINT_PTR UiTaskDispatcher::addTimer(UINT intervalMs, Runable* task)
{
    if (!window_ || !task)
        return 0;
    UINT_PTR id = ++timerCounter_;
    UINT_PTR result = SetTimer(window_, id, intervalMs, nullptr);
    if (!result) {
        common::log("UiTaskDispatcher::addTimer", __LINE__, L"set timer failed! lastError = %d",
                    GetLastError());
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
    task->release();
}

LRESULT CALLBACK UiTaskDispatcher::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    UiTaskDispatcher* self =
        reinterpret_cast<UiTaskDispatcher*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_UITASK) {
        Runable* task = reinterpret_cast<Runable*>(lParam);
        if (task) {
            task->run();
            task->release();
        }
        return 0;
    }
    if (msg == WM_TIMER) {
        if (self) {
            auto it = self->timers_.find(static_cast<UINT_PTR>(wParam));
            if (it != self->timers_.end())
                it->second->run();
        }
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
    common::setLogSink(&common::logLine);
    UiTaskDispatcher::create();
}

void uninit() { UiTaskDispatcher::destroy(); }

}  // namespace utility
