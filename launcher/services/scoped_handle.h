// Owner of one kernel handle (process, thread, token, file, mapping, mutex,
// snapshot); closes it when it goes out of scope.
#pragma once

#include <windows.h>

namespace utility {

class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    // Null and INVALID_HANDLE_VALUE both mean "no handle".
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    HANDLE* receive()
    {
        reset();
        return &handle_;
    }
    HANDLE release()
    {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void reset(HANDLE handle = nullptr)
    {
        if (valid())
            CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace utility
