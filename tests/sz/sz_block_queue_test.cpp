// The hand-over between the decoding thread and the writing thread: a
// writing side that stops never leaves the decoding side waiting. (Bytes
// arriving whole and in order is shown by every streamed extraction.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "foundation/sz/sz_block_queue.h"

namespace {

const size_t kQueueBytes = SzBlockQueue::kBlockCount * SzBlockQueue::kBlockSize;

// Takes what it is given, up to a limit.
class CollectingSink : public SzOutSink {
public:
    explicit CollectingSink(size_t limit) : limit_(limit) {}
    void attach(const CSzArEx*) override {}
    size_t write(const Byte* data, size_t size) override
    {
        const size_t take = std::min(size, limit_ - bytes.size());
        bytes.append(reinterpret_cast<const char*>(data), take);
        return take;
    }
    SRes finish() override { return SZ_OK; }
    std::string bytes;

private:
    size_t limit_;
};

// Runs a producer thread that writes bytes of the given size in pieces of
// uneven sizes and closes the queue; the caller drains or stops it.
class Producer {
public:
    explicit Producer(size_t size) : bytes(size, 0)
    {
        for (size_t i = 0; i < size; i++)
            bytes[i] = static_cast<char>((i * 131) ^ (i >> 11));
        thread_ = std::thread([this] {
            const size_t pieces[] = {1, 4095, 3 * SzBlockQueue::kBlockSize + 17, 65536, 0, 12345};
            for (size_t i = 0; produced < bytes.size(); i++) {
                const size_t step = std::min(pieces[i % 6], bytes.size() - produced);
                const size_t taken = queue.write(reinterpret_cast<const Byte*>(bytes.data()) + produced, step);
                produced += taken;
                if (taken < step)
                    break;
            }
            queue.close();
        });
    }
    void join() { thread_.join(); }

    std::string bytes;
    SzBlockQueue queue;
    size_t produced = 0;

private:
    std::thread thread_;
};

TEST(SzBlockQueue, ShortWriteOrStopEndsTheProducer)
{
    Producer shortWrite(kQueueBytes * 4);
    CollectingSink sink(SzBlockQueue::kBlockSize * 2 + 5);
    EXPECT_EQ(SZ_ERROR_OUTPUT_EOF, shortWrite.queue.drainInto(&sink));
    shortWrite.join();
    EXPECT_LT(shortWrite.produced, shortWrite.bytes.size());
    EXPECT_TRUE(sink.bytes == shortWrite.bytes.substr(0, SzBlockQueue::kBlockSize * 2 + 5));

    // Nobody drains: the producer fills every block and waits until told to stop.
    Producer stopped(kQueueBytes * 2);
    Sleep(100);
    stopped.queue.stop();
    stopped.join();
    EXPECT_LE(stopped.produced, kQueueBytes);
}

}  // namespace
