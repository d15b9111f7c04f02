// COM and OLE on the calling thread, each balanced by its owner: a
// successful initialisation is undone when the owner goes out of scope (or
// at end()), a failed one never is.
#pragma once

namespace utility {

// CoInitialize (apartment-threaded) and CoUninitialize.
class ScopedComInit {
public:
    ScopedComInit();
    ~ScopedComInit() { end(); }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

    bool ok() const { return ok_; }
    // Uninitialises now; the destructor then does nothing.
    void end();

private:
    bool ok_;
};

// OleInitialize and OleUninitialize (drag and drop, the clipboard, in-place
// objects such as the web views).
class ScopedOleInit {
public:
    ScopedOleInit();
    ~ScopedOleInit() { end(); }
    ScopedOleInit(const ScopedOleInit&) = delete;
    ScopedOleInit& operator=(const ScopedOleInit&) = delete;

    bool ok() const { return ok_; }
    void end();

private:
    bool ok_;
};

}  // namespace utility
