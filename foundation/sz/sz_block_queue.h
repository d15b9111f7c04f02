// Hands decoded bytes from the decoding thread to the writing thread
// through a fixed number of fixed-size blocks, so the two overlap while the
// memory in flight stays bounded.
#pragma once

#include <deque>
#include <vector>

#include "foundation/sz/sz_extract_all.h"
#include "foundation/sz/sz_sync.h"

class SzBlockQueue : public SzOutSink {
public:
    static constexpr size_t kBlockSize = 1 << 20;
    static constexpr size_t kBlockCount = 8;
    // Behind decoder threads, which hand out whole blocks of an LZMA2
    // stream at once, the writing side goes on while they decode the next:
    // a quarter of the decoders' memory budget, beside it, holds what they
    // decoded ahead of the writer, up to kManyThreadsBlockMax blocks.
    static constexpr size_t kManyThreadsBlockMax = 256;
    static size_t manyThreadsBlockCount(uint64_t memoryBudget);

    explicit SzBlockQueue(size_t blockCount = kBlockCount);
    ~SzBlockQueue();
    SzBlockQueue(const SzBlockQueue&) = delete;
    SzBlockQueue& operator=(const SzBlockQueue&) = delete;

    // False when not even kBlockCount blocks could be allocated.
    bool ready() const { return ready_; }

    // Decoding side: copies the bytes into blocks, waiting for a free one
    // when all are full. Takes fewer bytes once the writing side stopped.
    void attach(const CSzArEx*) override {}
    size_t write(const Byte* data, size_t size) override;
    SRes finish() override { return SZ_OK; }
    // Decoding side (any of its threads): false once the writing side stopped.
    bool keepGoing() override { return !stopped(); }
    // Decoding side: no more bytes will come.
    void close();

    // Writing side: tells the decoding side to stop taking bytes.
    void stop();
    // Either side: whether the writing side has stopped.
    bool stopped();

    // How often the writing side, waiting for a block, asks its sink whether to go on.
    static constexpr unsigned kKeepGoingPollMs = 50;

    // Writing side: hands every block to sink in order until the decoding
    // side closes. SZ_ERROR_OUTPUT_EOF when the sink took fewer bytes than
    // given, SZ_ERROR_PROGRESS when its keepGoing said no while waiting; the
    // decoding side is then told to stop.
    SRes drainInto(SzOutSink* sink);

private:
    struct Block {
        Byte* data;
        size_t size;
    };
    bool pushFilling(std::unique_lock<SzLock>& lock);
    void stopLocked();

    bool ready_ = false;
    std::vector<Byte*> owned_;
    SzLock lock_;
    SzCondition changed_;
    std::vector<Byte*> free_;
    std::deque<Block> full_;
    Block filling_ = {nullptr, 0};  // touched by the decoding side only
    bool closed_ = false;
    bool stopped_ = false;
};
