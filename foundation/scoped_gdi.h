// Owners of GDI handles, on the one ScopedResource template: memory DCs, DCs
// taken from a window, GDI objects, and an object selected into a DC for a
// while.
#pragma once

#include <windows.h>

#include "foundation/scoped_handle.h"

namespace utility {

// A DC made by CreateCompatibleDC.
typedef ScopedResource<NullMeansNone<HDC, &DeleteDC>> ScopedMemoryDC;
// A bitmap, pen, brush, font or region made by the caller.
template <typename H>
using ScopedGdiObject = ScopedResource<NullMeansNone<H, &DeleteObject>>;

// A DC taken with GetDC from a window (or, with no window, the screen),
// given back to that window with ReleaseDC.
struct WindowDCTraits {
    struct Handle {
        HWND window;
        HDC dc;
    };
    static Handle none() { return Handle{nullptr, nullptr}; }
    static bool valid(const Handle& handle) { return handle.dc != nullptr; }
    static void close(const Handle& handle) { ReleaseDC(handle.window, handle.dc); }
};
typedef ScopedResource<WindowDCTraits> ScopedWindowDC;
// The DC of window (null: the screen), for a ScopedWindowDC.
inline WindowDCTraits::Handle takeWindowDC(HWND window) { return WindowDCTraits::Handle{window, GetDC(window)}; }

// Objects selected into one DC: the first select remembers the object it
// replaced, later ones only swap, and restore (or the end of the scope) puts
// that first object back. A null DC or object selects nothing.
class ScopedSelection {
public:
    ScopedSelection() = default;
    ScopedSelection(HDC dc, HGDIOBJ object) { select(dc, object); }
    ~ScopedSelection() { restore(); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

    // False when nothing was selected.
    bool select(HDC dc, HGDIOBJ object)
    {
        if (dc == nullptr || object == nullptr) {
            return false;
        }
        HGDIOBJ old = SelectObject(dc, object);
        if (old == nullptr) {
            return false;
        }
        if (old_ == nullptr) {
            dc_ = dc;
            old_ = old;
        }
        return true;
    }
    bool valid() const { return old_ != nullptr; }
    void restore()
    {
        if (old_ != nullptr) {
            SelectObject(dc_, old_);
        }
        release();
    }
    // Forgets the first object without selecting it back (the DC is gone).
    void release()
    {
        dc_ = nullptr;
        old_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

}  // namespace utility
