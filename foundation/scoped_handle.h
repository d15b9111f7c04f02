// Owners of one system handle each: the handle is closed when its owner goes
// out of scope. One template; a small traits type per kind of handle says
// what "no handle" is and how one is closed.
#pragma once

#include <windows.h>

namespace utility {

template <typename Traits>
class ScopedResource {
public:
    typedef typename Traits::Handle Handle;

    ScopedResource() = default;
    explicit ScopedResource(Handle handle) : handle_(handle) {}
    ~ScopedResource() { reset(); }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;

    bool valid() const { return Traits::valid(handle_); }
    Handle get() const { return handle_; }
    // For calls that hand a new handle back through a pointer.
    Handle* receive()
    {
        reset();
        return &handle_;
    }
    // Gives the handle up without closing it.
    Handle release()
    {
        Handle handle = handle_;
        handle_ = Traits::none();
        return handle;
    }
    void reset(Handle handle = Traits::none())
    {
        if (valid())
            Traits::close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::none();
};

// Process, thread, token, file, mapping, mutex, event, snapshot: null and
// INVALID_HANDLE_VALUE both mean "no handle".
struct KernelHandleTraits {
    typedef HANDLE Handle;
    static HANDLE none() { return nullptr; }
    static bool valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};

// Handles for which null means "no handle", closed by Close.
template <typename H, auto Close>
struct NullMeansNone {
    typedef H Handle;
    static H none() { return nullptr; }
    static bool valid(H handle) { return handle != nullptr; }
    static void close(H handle) { Close(handle); }
};

// A FindFirstFileW search.
struct FindTraits {
    typedef HANDLE Handle;
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE find) { return find != INVALID_HANDLE_VALUE; }
    static void close(HANDLE find) { FindClose(find); }
};

typedef ScopedResource<KernelHandleTraits> ScopedHandle;
typedef ScopedResource<NullMeansNone<HKEY, &RegCloseKey>> ScopedRegKey;
typedef ScopedResource<NullMeansNone<HMODULE, &FreeLibrary>> ScopedLibrary;
typedef ScopedResource<FindTraits> ScopedFind;
// A view made by MapViewOfFile.
typedef ScopedResource<NullMeansNone<void*, &UnmapViewOfFile>> ScopedMappedView;
// Memory the system allocated with LocalAlloc for the caller (security descriptors).
typedef ScopedResource<NullMeansNone<HLOCAL, &LocalFree>> ScopedLocalMemory;

}  // namespace utility
