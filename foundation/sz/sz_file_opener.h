// Opens a folder extraction's output files ahead of the thread that writes
// them and closes them behind it, on threads of its own, so that the writer
// is left with the writes. Opening and closing a file cost more than
// writing most files (a round trip to the server each under Wine, the
// scanner's turn on Windows); here they overlap with the decoding and in
// part with each other.
//
// Files are opened without truncating what is there: the writer empties a
// file with bytes in it when it takes it. When the extraction ends, every file opened ahead that the
// writer never took is closed, and removed when this extraction made it.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "foundation/scoped_handle.h"
#include "foundation/sz/sz_folder_maker.h"

class SzFileOpener {
public:
    // How many items the openers may run ahead of the writer.
    static constexpr size_t kAhead = 1024;

    struct Opened {
        HANDLE file;   // INVALID_HANDLE_VALUE when the open failed
        bool hasData;  // a file was there with bytes in it
    };

    explicit SzFileOpener(SzFolderMaker& folders) : folders_(folders) {}
    ~SzFileOpener() { end(); }
    SzFileOpener(const SzFileOpener&) = delete;
    SzFileOpener& operator=(const SzFileOpener&) = delete;

    // What the openers do for an item.
    enum Kind { kSkip, kFolder, kFile };
    struct Item {
        Kind kind;
        std::wstring path;
    };

    // Makes the folders and opens the files of items, in item order, on up
    // to `threads` threads, and starts the closing thread. False when no
    // thread could start: the writer then opens its files itself.
    bool start(const std::vector<Item>& items, unsigned threads);
    bool started() const { return !openers_.empty(); }
    // Writer: waits for item index's folder or file (whose handle the
    // caller then owns). Items are taken in order; taking one lets the
    // openers go on. A folder comes with no handle.
    Opened take(size_t index);
    // Writer: closes the file on the closing thread.
    void close(HANDLE file);
    // Stops opening, undoes what was opened ahead and never taken, and
    // returns once every handle given out or opened here is closed.
    void end();

private:
    struct Slot {
        utility::ScopedHandle file;
        bool created = false;
        bool hasData = false;
        bool ready = false;
    };
    void openAhead();
    void closeBehind();
    void undoAhead();

    SzFolderMaker& folders_;
    const std::vector<Item>* items_ = nullptr;
    std::vector<Slot> slots_;
    std::vector<std::thread> openers_;
    std::thread closer_;

    std::mutex mutex_;
    std::condition_variable changed_;
    size_t next_ = 0;   // the next item an opener takes
    size_t taken_ = 0;  // items the writer is done with
    bool ending_ = false;
    std::deque<HANDLE> toClose_;
};
