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

struct RegKeyTraits {
    typedef HKEY Handle;
    static HKEY none() { return nullptr; }
    static bool valid(HKEY key) { return key != nullptr; }
    static void close(HKEY key) { RegCloseKey(key); }
};

struct LibraryTraits {
    typedef HMODULE Handle;
    static HMODULE none() { return nullptr; }
    static bool valid(HMODULE module) { return module != nullptr; }
    static void close(HMODULE module) { FreeLibrary(module); }
};

// A FindFirstFileW search.
struct FindTraits {
    typedef HANDLE Handle;
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE find) { return find != INVALID_HANDLE_VALUE; }
    static void close(HANDLE find) { FindClose(find); }
};

// A view made by MapViewOfFile.
struct MappedViewTraits {
    typedef void* Handle;
    static void* none() { return nullptr; }
    static bool valid(void* view) { return view != nullptr; }
    static void close(void* view) { UnmapViewOfFile(view); }
};

typedef ScopedResource<KernelHandleTraits> ScopedHandle;
typedef ScopedResource<RegKeyTraits> ScopedRegKey;
typedef ScopedResource<LibraryTraits> ScopedLibrary;
typedef ScopedResource<FindTraits> ScopedFind;
typedef ScopedResource<MappedViewTraits> ScopedMappedView;

}  // namespace utility
