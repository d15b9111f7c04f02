#include "foundation/sz/sz_file_opener.h"

#include "foundation/log.h"

bool SzFileOpener::start(const std::vector<Item>& items, unsigned threads)
{
    items_ = &items;
    slots_ = std::vector<Slot>(items.size());
    try {
        closer_ = std::thread([this] { closeBehind(); });
        for (unsigned i = 0; i < threads; i++) {
            openers_.emplace_back([this] { openAhead(); });
        }
    } catch (const std::exception&) {
        common::log("SzFileOpener::start", __LINE__, L"%u of %u opening threads, lastError = %d",
                    static_cast<unsigned>(openers_.size()), threads, static_cast<int>(GetLastError()));
        if (openers_.empty()) {
            end();
            return false;
        }
    }
    return true;
}

void SzFileOpener::openAhead()
{
    for (;;) {
        size_t index;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            while (!ending_ && next_ < slots_.size() && (*items_)[next_].kind == kSkip) {
                slots_[next_++].ready = true;
            }
            if (ending_ || next_ >= slots_.size()) {
                return;
            }
            index = next_++;
            changed_.wait(lock, [this, index] { return ending_ || index < taken_ + kAhead; });
            if (ending_) {
                return;
            }
        }
        const Item& item = (*items_)[index];
        Slot opened;
        if (item.kind == kFolder) {
            folders_.make(item.path, false);
        } else if (folders_.make(item.path.substr(0, item.path.rfind(L'\\')), false)) {
            opened.file.reset(CreateFileW(item.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            opened.created = opened.file.valid() && GetLastError() != ERROR_ALREADY_EXISTS;
            // The size tells whether the writer must empty the file; asking
            // it also readies the handle for writing.
            LARGE_INTEGER size = {};
            if (opened.file.valid() && GetFileSizeEx(opened.file.get(), &size)) {
                opened.hasData = size.QuadPart != 0;
            }
        }
        std::lock_guard<std::mutex> lock(mutex_);
        Slot& slot = slots_[index];
        slot.file.reset(opened.file.release());
        slot.created = opened.created;
        slot.hasData = opened.hasData;
        slot.ready = true;
        changed_.notify_all();
    }
}

SzFileOpener::Opened SzFileOpener::take(size_t index)
{
    std::unique_lock<std::mutex> lock(mutex_);
    // The writer is here: the openers may go up to kAhead items beyond.
    taken_ = index;
    changed_.notify_all();
    changed_.wait(lock, [this, index] { return slots_[index].ready; });
    Slot& slot = slots_[index];
    Opened opened = {slot.file.valid() ? slot.file.release() : INVALID_HANDLE_VALUE, slot.hasData};
    taken_ = index + 1;
    changed_.notify_all();
    return opened;
}

void SzFileOpener::close(HANDLE file)
{
    std::lock_guard<std::mutex> lock(mutex_);
    toClose_.push_back(file);
    changed_.notify_all();
}

void SzFileOpener::closeBehind()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !toClose_.empty(); });
        if (toClose_.empty()) {
            return;
        }
        HANDLE file = toClose_.front();
        toClose_.pop_front();
        lock.unlock();
        CloseHandle(file);
        lock.lock();
    }
}

// A file this extraction made goes again once closed; one that was there
// is closed untouched, as the writer never wrote it.
void SzFileOpener::undoAhead()
{
    unsigned removed = 0;
    for (size_t i = taken_; i < slots_.size(); i++) {
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
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
        changed_.notify_all();
    }
    for (std::thread& opener : openers_) {
        opener.join();
    }
    openers_.clear();
    undoAhead();
    if (closer_.joinable()) {
        closer_.join();
    }
}
