#include "skinui/core/gdiplus_session.h"

#include <windows.h>

#include <gdiplus.h>

#include "foundation/log.h"
#include "foundation/worker_thread.h"

namespace SkinUI {

namespace {

// The process-wide start-up token and the number of sessions holding it.
struct GdiplusState {
    utility::CriticalSection lock;
    int sessions = 0;
    bool running = false;
    ULONG_PTR token = 0;
};

GdiplusState& State()
{
    static GdiplusState state;
    return state;
}

}  // namespace

CGdiplusSession::CGdiplusSession() : m_bStarted(false)
{
    GdiplusState& state = State();
    utility::ScopedLock hold(state.lock);
    ++state.sessions;
    if (!state.running) {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::Status status = Gdiplus::GdiplusStartup(&state.token, &input, nullptr);
        if (status != Gdiplus::Ok) {
            common::log("CGdiplusSession::CGdiplusSession", __LINE__,
                        L"GdiplusStartup failed status = %d lastError = %d", static_cast<int>(status),
                        static_cast<int>(::GetLastError()));
            state.token = 0;
            return;
        }
        state.running = true;
    }
    m_bStarted = true;
}

CGdiplusSession::~CGdiplusSession()
{
    GdiplusState& state = State();
    utility::ScopedLock hold(state.lock);
    --state.sessions;
    // A session whose start failed may be the last one: GDI+ started by a
    // later session still goes with it.
    if (state.sessions == 0 && state.running) {
        Gdiplus::GdiplusShutdown(state.token);
        state.token = 0;
        state.running = false;
    }
}

int CGdiplusSession::GetSessionCount()
{
    GdiplusState& state = State();
    utility::ScopedLock hold(state.lock);
    return state.sessions;
}

bool CGdiplusSession::IsRunning()
{
    GdiplusState& state = State();
    utility::ScopedLock hold(state.lock);
    return state.running;
}

}  // namespace SkinUI
