// The hand-over between the decoding thread and the writing thread: bytes
// arrive whole and in order, and a writing side that stops never leaves the
// decoding side waiting.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "foundation/sz/sz_block_queue.h"

namespace {

// Collects what it is given, up to a limit.
class CollectingSink : public SzOutSink {
public:
    explicit CollectingSink(size_t limit) : limit_(limit) {}
    void attach(const CSzArEx*) override {}
    size_t write(const Byte* data, size_t size) override
    {
        size_t take = size;
        if (bytes.size() + take > limit_) {
            take = limit_ - bytes.size();
        }
        bytes.append(reinterpret_cast<const char*>(data), take);
        calls++;
        return take;
    }
    SRes finish() override { return SZ_OK; }

    std::string bytes;
    int calls = 0;

private:
    size_t limit_;
};

std::string pattern(size_t size)
{
    std::string bytes(size, 0);
    for (size_t i = 0; i < size; i++) {
        bytes[i] = static_cast<char>((i * 131) ^ (i >> 11));
    }
    return bytes;
}

// Writes the bytes in pieces of uneven sizes; returns how many were taken.
size_t produce(SzBlockQueue& queue, const std::string& bytes)
{
    const size_t pieces[] = {1, 4095, 3 * SzBlockQueue::kBlockSize + 17, 65536, 0, 12345};
    size_t at = 0;
    for (size_t i = 0; at < bytes.size(); i++) {
        size_t step = pieces[i % 6];
        if (step > bytes.size() - at) {
            step = bytes.size() - at;
        }
        size_t taken = queue.write(reinterpret_cast<const Byte*>(bytes.data()) + at, step);
        at += taken;
        if (taken < step) {
            break;
        }
    }
    queue.close();
    return at;
}

TEST(SzBlockQueue, EveryByteArrivesInOrder)
{
    // Far more than the blocks hold at once, so both sides wait on each other.
    const std::string bytes = pattern(SzBlockQueue::kBlockCount * SzBlockQueue::kBlockSize * 3 + 777);
    SzBlockQueue queue;
    ASSERT_TRUE(queue.ready());
    size_t produced = 0;
    std::thread producer([&] { produced = produce(queue, bytes); });
    CollectingSink sink(bytes.size());

    EXPECT_EQ(SZ_OK, queue.drainInto(&sink));
    producer.join();

    EXPECT_EQ(bytes.size(), produced);
    EXPECT_TRUE(sink.bytes == bytes);
}

TEST(SzBlockQueue, ShortWriteStopsTheProducer)
{
    const std::string bytes = pattern(SzBlockQueue::kBlockCount * SzBlockQueue::kBlockSize * 4);
    SzBlockQueue queue;
    ASSERT_TRUE(queue.ready());
    size_t produced = 0;
    std::thread producer([&] { produced = produce(queue, bytes); });
    CollectingSink sink(SzBlockQueue::kBlockSize * 2 + 5);

    EXPECT_EQ(SZ_ERROR_OUTPUT_EOF, queue.drainInto(&sink));
    producer.join();

    EXPECT_LT(produced, bytes.size());
    EXPECT_EQ(SzBlockQueue::kBlockSize * 2 + 5, sink.bytes.size());
    EXPECT_TRUE(sink.bytes == bytes.substr(0, sink.bytes.size()));
}

TEST(SzBlockQueue, StopWhileTheProducerWaits)
{
    const std::string bytes = pattern(SzBlockQueue::kBlockCount * SzBlockQueue::kBlockSize * 2);
    SzBlockQueue queue;
    ASSERT_TRUE(queue.ready());
    size_t produced = 0;
    std::thread producer([&] { produced = produce(queue, bytes); });
    // Nobody drains: the producer fills every block and waits until told to stop.
    Sleep(100);
    queue.stop();
    producer.join();

    EXPECT_LE(produced, SzBlockQueue::kBlockCount * SzBlockQueue::kBlockSize);
}

}  // namespace
