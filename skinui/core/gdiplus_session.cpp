#include "skinui/core/gdiplus_session.h"

#include "foundation/log.h"
#include "foundation/system_dll.h"
#include "foundation/worker_thread.h"

namespace SkinUI {

namespace {

// The process-wide start-up token, the loaded DLL and its functions, and the
// number of sessions holding them.
struct GdiplusState {
    utility::CriticalSection lock;
    int sessions = 0;
    bool running = false;
    bool failed = false;       // a start failed: later sessions do not retry
    bool unavailable = false;  // test hook
    ULONG_PTR token = 0;
    HMODULE module = nullptr;
    GdiplusApi api = {};
};

GdiplusState& State()
{
    static GdiplusState state;
    return state;
}

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& function)
{
    function = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    if (function != nullptr) {
        return true;
    }
    common::log("CGdiplusSession::Start", __LINE__, L"%S not found in gdiplus.dll lastError = %d", name,
                static_cast<int>(::GetLastError()));
    return false;
}

bool ResolveAll(HMODULE module, GdiplusApi& api)
{
#define ZUL_GDIPLUS_RESOLVE(name) Resolve(module, #name, api.name)
    return ZUL_GDIPLUS_RESOLVE(GdiplusStartup) && ZUL_GDIPLUS_RESOLVE(GdiplusShutdown) &&
           ZUL_GDIPLUS_RESOLVE(GdipCreateFromHDC) && ZUL_GDIPLUS_RESOLVE(GdipDeleteGraphics) &&
           ZUL_GDIPLUS_RESOLVE(GdipGetImageGraphicsContext) && ZUL_GDIPLUS_RESOLVE(GdipGraphicsClear) &&
           ZUL_GDIPLUS_RESOLVE(GdipSetTextRenderingHint) && ZUL_GDIPLUS_RESOLVE(GdipSetSmoothingMode) &&
           ZUL_GDIPLUS_RESOLVE(GdipSetCompositingQuality) && ZUL_GDIPLUS_RESOLVE(GdipSetInterpolationMode) &&
           ZUL_GDIPLUS_RESOLVE(GdipSetPixelOffsetMode) && ZUL_GDIPLUS_RESOLVE(GdipCreateFontFromDC) &&
           ZUL_GDIPLUS_RESOLVE(GdipCreateFontFromLogfontW) && ZUL_GDIPLUS_RESOLVE(GdipDeleteFont) &&
           ZUL_GDIPLUS_RESOLVE(GdipCreateStringFormat) && ZUL_GDIPLUS_RESOLVE(GdipDeleteStringFormat) &&
           ZUL_GDIPLUS_RESOLVE(GdipSetStringFormatAlign) && ZUL_GDIPLUS_RESOLVE(GdipSetStringFormatLineAlign) &&
           ZUL_GDIPLUS_RESOLVE(GdipCreateLineBrush) && ZUL_GDIPLUS_RESOLVE(GdipCreateSolidFill) &&
           ZUL_GDIPLUS_RESOLVE(GdipDeleteBrush) && ZUL_GDIPLUS_RESOLVE(GdipCreateBitmapFromScan0) &&
           ZUL_GDIPLUS_RESOLVE(GdipDisposeImage) && ZUL_GDIPLUS_RESOLVE(GdipDrawImageRect) &&
           ZUL_GDIPLUS_RESOLVE(GdipDrawImageRectI) && ZUL_GDIPLUS_RESOLVE(GdipDrawString) &&
           ZUL_GDIPLUS_RESOLVE(GdipLoadImageFromStream) && ZUL_GDIPLUS_RESOLVE(GdipGetImageWidth) &&
           ZUL_GDIPLUS_RESOLVE(GdipGetImageHeight) && ZUL_GDIPLUS_RESOLVE(GdipImageGetFrameDimensionsCount) &&
           ZUL_GDIPLUS_RESOLVE(GdipImageGetFrameDimensionsList) && ZUL_GDIPLUS_RESOLVE(GdipImageGetFrameCount) &&
           ZUL_GDIPLUS_RESOLVE(GdipImageSelectActiveFrame) && ZUL_GDIPLUS_RESOLVE(GdipGetPropertyItemSize) &&
           ZUL_GDIPLUS_RESOLVE(GdipGetPropertyItem);
#undef ZUL_GDIPLUS_RESOLVE
}

// Loads gdiplus.dll from the system folder, finds its functions and starts
// GDI+; on failure nothing stays loaded and the users draw without GDI+.
bool Start(GdiplusState& state)
{
    HMODULE module = state.unavailable ? nullptr : utility::loadSystemLibrary(L"gdiplus.dll");
    GdiplusApi api = {};
    if (module == nullptr || !ResolveAll(module, api)) {
        common::log("CGdiplusSession::Start", __LINE__,
                    L"GDI+ not available, text effects drawn as plain text lastError = %d",
                    static_cast<int>(::GetLastError()));
        if (module != nullptr) {
            ::FreeLibrary(module);
        }
        return false;
    }
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::Status status = api.GdiplusStartup(&state.token, &input, nullptr);
    if (status != Gdiplus::Ok) {
        common::log("CGdiplusSession::Start", __LINE__, L"GdiplusStartup failed status = %d lastError = %d",
                    static_cast<int>(status), static_cast<int>(::GetLastError()));
        state.token = 0;
        ::FreeLibrary(module);
        return false;
    }
    state.module = module;
    state.api = api;
    state.running = true;
    return true;
}

}  // namespace

CGdiplusSession::CGdiplusSession() : m_bStarted(false)
{
    GdiplusState& state = State();
    utility::ScopedLock hold(state.lock);
    ++state.sessions;
    if (!state.running) {
        if (state.failed || !Start(state)) {
            state.failed = true;
            return;
        }
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
        state.api.GdiplusShutdown(state.token);
        ::FreeLibrary(state.module);
        state.module = nullptr;
        state.api = GdiplusApi();
        state.token = 0;
        state.running = false;
    }
}

const GdiplusApi& CGdiplusSession::Api() const { return State().api; }

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

void CGdiplusSession::SetUnavailable(bool unavailable)
{
    GdiplusState& state = State();
    utility::ScopedLock hold(state.lock);
    state.unavailable = unavailable;
    state.failed = false;
}

}  // namespace SkinUI
