#include "foundation/sz/sz_file_opener.h"

#include "foundation/log.h"

bool SzFileOpener::startThread(std::thread& thread, void (SzFileOpener::*work)())
{
    try {
        thread = std::thread(work, this);
        return true;
    } catch (const std::exception&) {
        common::log("SzFileOpener::start", __LINE__, L"a thread did not start, lastError = %d",
                    static_cast<int>(GetLastError()));
        return false;
    }
}

bool SzFileOpener::start(const std::vector<Item>& items, unsigned threads)
{
    items_ = &items;
    count_ = items.size();
    slots_.reset(new Slot[count_]);
    toClose_.reset(new HANDLE[count_]);
    if (!startThread(closer_, &SzFileOpener::closeBehind) || !startThread(readier_, &SzFileOpener::readyAhead)) {
        end();
        return false;
    }
    for (unsigned i = 0; i < threads; i++) {
        std::thread opener;
        if (!startThread(opener, &SzFileOpener::openAhead)) {
            break;
        }
        openers_.push_back(std::move(opener));
    }
    if (openers_.empty()) {
        end();
        return false;
    }
    return true;
}

void SzFileOpener::openAhead()
{
    for (;;) {
        const size_t index = next_++;
        if (index >= count_) {
            return;
        }
        room_.wait([this, index] { return ending_ || index < taken_ + kAhead; });
        if (ending_) {
            return;
        }
        const Item& item = (*items_)[index];
        Slot& slot = slots_[index];
        if (item.kind == kFolder) {
            folders_.make(item.path, false);
        } else if (item.kind == kFile && folders_.make(item.path.substr(0, item.path.rfind(L'\\')), false)) {
            slot.file.reset(CreateFileW(item.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            slot.created = slot.file.valid() && GetLastError() != ERROR_ALREADY_EXISTS;
        }
        slot.stage = kOpened;
        opened_.wake();
    }
}

void SzFileOpener::readyAhead()
{
    for (size_t index = 0; index < count_; index++) {
        Slot& slot = slots_[index];
        opened_.wait([this, &slot] { return ending_ || slot.stage == kOpened; });
        if (ending_) {
            return;
        }
        // The size tells whether the writer must empty the file; asking it
        // also readies the handle for writing.
        LARGE_INTEGER size = {};
        if (slot.file.valid() && GetFileSizeEx(slot.file.get(), &size)) {
            slot.hasData = size.QuadPart != 0;
        }
        slot.stage = kReady;
        ready_.wake();
    }
}

SzFileOpener::Opened SzFileOpener::take(size_t index)
{
    // The writer is here: the openers may go up to kAhead items beyond.
    taken_ = index;
    room_.wake();
    Slot& slot = slots_[index];
    ready_.wait([&slot] { return slot.stage == kReady; });
    Opened opened = {slot.file.valid() ? slot.file.release() : INVALID_HANDLE_VALUE, slot.hasData};
    taken_ = index + 1;
    room_.wake();
    return opened;
}

void SzFileOpener::close(HANDLE file)
{
    const size_t given = givenBack_;
    if (given >= count_) {
        CloseHandle(file);
        return;
    }
    toClose_[given] = file;
    givenBack_ = given + 1;
    givenBackPoint_.wake();
}

// Once the extraction ends, the handles given back before it are closed
// and the thread returns.
void SzFileOpener::closeBehind()
{
    for (size_t closed = 0;; closed++) {
        givenBackPoint_.wait([this, closed] { return closed < givenBack_ || ending_; });
        if (closed >= givenBack_) {
            return;
        }
        CloseHandle(toClose_[closed]);
    }
}

// A file this extraction made goes again once closed; one that was there
// is closed untouched, as the writer never wrote it.
void SzFileOpener::undoAhead()
{
    unsigned removed = 0;
    for (size_t i = taken_; i < count_; i++) {
        Slot& slot = slots_[i];
        if (!slot.file.valid()) {
            continue;
        }
        slot.file.reset();
        if (!slot.created) {
            continue;
        }
        if (DeleteFileW((*items_)[i].path.c_str())) {
            removed++;
        } else {
            DWORD err = GetLastError();
            common::log("SzFileOpener::end", __LINE__, L"cannot remove %s lastError = %d", (*items_)[i].path.c_str(),
                        err);
        }
    }
    if (removed != 0) {
        common::log("SzFileOpener::end", __LINE__, L"%u files opened ahead of the writer removed", removed);
    }
}

void SzFileOpener::end()
{
    ending_ = true;
    room_.wake();
    opened_.wake();
    ready_.wake();
    givenBackPoint_.wake();
    for (std::thread& opener : openers_) {
        opener.join();
    }
    openers_.clear();
    if (readier_.joinable()) {
        readier_.join();
    }
    if (slots_) {
        undoAhead();
    }
    if (closer_.joinable()) {
        closer_.join();
    }
}
