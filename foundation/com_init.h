// COM and OLE on the calling thread, each balanced by its owner: a
// successful initialisation is undone when the owner goes out of scope (or
// at end()), a failed one never is.
#pragma once

#include <objbase.h>
#include <ole2.h>

namespace utility {

template <HRESULT(WINAPI* Init)(LPVOID), void(WINAPI* Uninit)()>
class ScopedInit {
public:
    ScopedInit() : ok_(SUCCEEDED(Init(nullptr))) {}
    ~ScopedInit() { end(); }
    ScopedInit(const ScopedInit&) = delete;
    ScopedInit& operator=(const ScopedInit&) = delete;

    bool ok() const { return ok_; }
    // Uninitialises now; the destructor then does nothing.
    void end()
    {
        if (ok_)
            Uninit();
        ok_ = false;
    }

private:
    bool ok_;
};

// CoInitialize (apartment-threaded) and CoUninitialize.
typedef ScopedInit<&CoInitialize, &CoUninitialize> ScopedComInit;
// OleInitialize and OleUninitialize (drag and drop, the clipboard, in-place
// objects such as the web views).
typedef ScopedInit<&OleInitialize, &OleUninitialize> ScopedOleInit;

}  // namespace utility
