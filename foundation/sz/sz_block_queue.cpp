#include "foundation/sz/sz_block_queue.h"

#include <cstdlib>
#include <cstring>

SzBlockQueue::SzBlockQueue(size_t blockCount)
{
    for (size_t i = 0; i < blockCount; i++) {
        Byte* block = static_cast<Byte*>(malloc(kBlockSize));
        if (!block) {
            break;
        }
        owned_.push_back(block);
        free_.push_back(block);
    }
    // A deep queue that memory does not allow still works as a short one.
    ready_ = owned_.size() >= (blockCount < kBlockCount ? blockCount : kBlockCount);
}

size_t SzBlockQueue::manyThreadsBlockCount(uint64_t memoryBudget)
{
    const uint64_t blocks = memoryBudget / 4 / kBlockSize;
    if (blocks < kBlockCount) {
        return kBlockCount;
    }
    return blocks > kManyThreadsBlockMax ? kManyThreadsBlockMax : static_cast<size_t>(blocks);
}

SzBlockQueue::~SzBlockQueue()
{
    for (Byte* block : owned_) {
        free(block);
    }
}

size_t SzBlockQueue::write(const Byte* data, size_t size)
{
    size_t taken = 0;
    while (taken < size) {
        if (!filling_.data) {
            std::unique_lock<SzLock> lock(lock_);
            changed_.wait(lock, [this] { return !free_.empty() || stopped_; });
            if (stopped_) {
                return taken;
            }
            filling_.data = free_.back();
            filling_.size = 0;
            free_.pop_back();
        }
        size_t step = kBlockSize - filling_.size;
        if (step > size - taken) {
            step = size - taken;
        }
        memcpy(filling_.data + filling_.size, data + taken, step);
        filling_.size += step;
        taken += step;
        if (filling_.size == kBlockSize) {
            std::unique_lock<SzLock> lock(lock_);
            if (!pushFilling(lock)) {
                return taken - step;
            }
        }
    }
    return taken;
}

bool SzBlockQueue::pushFilling(std::unique_lock<SzLock>&)
{
    Block block = filling_;
    filling_ = {nullptr, 0};
    if (stopped_) {
        free_.push_back(block.data);
        return false;
    }
    full_.push_back(block);
    changed_.wakeAll();
    return true;
}

void SzBlockQueue::close()
{
    std::unique_lock<SzLock> lock(lock_);
    if (filling_.data) {
        if (filling_.size != 0) {
            pushFilling(lock);
        } else {
            free_.push_back(filling_.data);
            filling_ = {nullptr, 0};
        }
    }
    closed_ = true;
    changed_.wakeAll();
}

void SzBlockQueue::stop()
{
    std::unique_lock<SzLock> lock(lock_);
    stopLocked();
}

void SzBlockQueue::stopLocked()
{
    stopped_ = true;
    for (const Block& queued : full_) {
        free_.push_back(queued.data);
    }
    full_.clear();
    changed_.wakeAll();
}

bool SzBlockQueue::stopped()
{
    std::unique_lock<SzLock> lock(lock_);
    return stopped_;
}

SRes SzBlockQueue::drainInto(SzOutSink* sink)
{
    for (;;) {
        Block block;
        {
            std::unique_lock<SzLock> lock(lock_);
            while (full_.empty() && !closed_) {
                if (changed_.waitFor(lock, kKeepGoingPollMs)) {
                    continue;
                }
                lock.unlock();
                const bool goOn = sink->keepGoing();
                lock.lock();
                if (!goOn) {
                    stopLocked();
                    return SZ_ERROR_PROGRESS;
                }
            }
            if (full_.empty()) {
                return SZ_OK;
            }
            block = full_.front();
            full_.pop_front();
        }
        const size_t taken = sink->write(block.data, block.size);
        {
            std::unique_lock<SzLock> lock(lock_);
            free_.push_back(block.data);
            changed_.wakeAll();
        }
        if (taken < block.size) {
            stop();
            return SZ_ERROR_OUTPUT_EOF;
        }
    }
}
