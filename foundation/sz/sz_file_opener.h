// Opens a folder extraction's output files ahead of the thread that writes
// them and closes them behind it, on threads of its own, so that the writer
// is left with the writes. Opening and closing a file cost more than
// writing most files (round trips to the server under Wine, the scanner's
// turn on Windows); here they overlap with the decoding and in part with
// each other.
//
// Several threads open the files. One thread then readies each handle for
// writing, in item order: under Wine a handle's first use fetches its file
// descriptor from the server under a process-wide lock, which one thread
// takes quickly and eight threads take slowly, each in turn. One thread
// closes the files the writer is done with.
//
// Files are opened without truncating what is there: the writer empties a
// file with bytes in it when it takes it. When the extraction ends, every
// file opened ahead that the writer never took is closed, and removed when
// this extraction made it.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "foundation/scoped_handle.h"
#include "foundation/sz/sz_folder_maker.h"
#include "foundation/sz/sz_sync.h"

class SzFileOpener {
public:
    // How many items the openers may run ahead of the writer.
    static constexpr size_t kAhead = 4096;

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
    // to `threads` threads, and starts the readying and closing threads.
    // False when no thread could start: the writer then opens its files
    // itself.
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
    // An item goes from kWaiting to kOpened (by an opener) to kReady (by
    // the readying thread); the writer takes it when ready.
    enum Stage { kWaiting, kOpened, kReady };
    struct Slot {
        utility::ScopedHandle file;
        bool created = false;
        bool hasData = false;
        std::atomic<int> stage{kWaiting};
    };
    void openAhead();
    void readyAhead();
    void closeBehind();
    void undoAhead();
    bool startThread(std::thread& thread, void (SzFileOpener::*work)());

    SzFolderMaker& folders_;
    const std::vector<Item>* items_ = nullptr;
    std::unique_ptr<Slot[]> slots_;
    size_t count_ = 0;
    std::vector<std::thread> openers_;
    std::thread readier_;
    std::thread closer_;

    std::atomic<size_t> next_{0};   // the next item an opener takes
    std::atomic<size_t> taken_{0};  // items the writer is done with
    std::atomic<bool> ending_{false};
    SzWaitPoint room_;    // openers: the writer took items
    SzWaitPoint opened_;  // readier: an item was opened
    SzWaitPoint ready_;   // writer: an item was readied

    // Handles the writer gave back, closed in order; one per file item at
    // most.
    std::unique_ptr<HANDLE[]> toClose_;
    std::atomic<size_t> givenBack_{0};
    SzWaitPoint givenBackPoint_;  // closer: the writer gave a handle back
};
