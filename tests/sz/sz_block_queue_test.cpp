// The hand-over between the decoding thread and the writing thread: a
// writing side that stops never leaves the decoding side waiting, and a stop
// reaches a folder that is decoded into a buffer. (Bytes arriving whole and
// in order is shown by every streamed extraction.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "foundation/scoped_handle.h"
#include "foundation/sz/sz_block_queue.h"
#include "sz_test_support.h"

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

// An archive in memory that counts the reads made after the archive opened
// and holds the first of them, once it has begun, until the writing side has
// been asked to stop.
struct GatedArchive {
    ISeekInStream vt;
    std::string bytes;
    size_t pos = 0;
    bool opened = false;
    int readsAfterOpen = 0;
    utility::ScopedHandle reading{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    utility::ScopedHandle asked{CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    explicit GatedArchive(const std::string& archive) : bytes(archive)
    {
        vt.Read = [](ISeekInStreamPtr p, void* buf, size_t* size) -> SRes {
            GatedArchive* self = reinterpret_cast<GatedArchive*>(const_cast<ISeekInStream*>(p));
            if (self->opened && ++self->readsAfterOpen == 1) {
                SetEvent(self->reading.get());
                WaitForSingleObject(self->asked.get(), 10000);
            }
            *size = std::min(*size, self->bytes.size() - self->pos);
            memcpy(buf, self->bytes.data() + self->pos, *size);
            self->pos += *size;
            return SZ_OK;
        };
        vt.Seek = [](ISeekInStreamPtr p, Int64* offset, ESzSeek origin) -> SRes {
            GatedArchive* self = reinterpret_cast<GatedArchive*>(const_cast<ISeekInStream*>(p));
            const Int64 base = origin == SZ_SEEK_SET ? 0 : origin == SZ_SEEK_CUR ? self->pos : self->bytes.size();
            self->pos = static_cast<size_t>(base + *offset);
            *offset = static_cast<Int64>(self->pos);
            return SZ_OK;
        };
    }
};

// A caller that stops at the first question asked while the decoder reads.
class StoppingSink : public SzOutSink {
public:
    explicit StoppingSink(GatedArchive& archive) : archive_(archive) {}
    void attach(const CSzArEx*) override { archive_.opened = true; }
    size_t write(const Byte*, size_t) override { return 0; }
    SRes finish() override { return SZ_OK; }
    bool keepGoing() override
    {
        if (WaitForSingleObject(archive_.reading.get(), 0) != WAIT_OBJECT_0)
            return true;
        SetEvent(archive_.asked.get());
        return false;
    }

private:
    GatedArchive& archive_;
};

TEST(SzBlockQueue, StopReachesAFolderDecodedIntoABuffer)
{
    // The delta filter is not streamed: its folder hands nothing on until it is whole.
    GatedArchive archive(sztest::readFixture(L"delta.7z"));
    ASSERT_GT(archive.bytes.size(), 2u << 20);
    StoppingSink sink(archive);
    EXPECT_EQ(SZ_ERROR_PROGRESS, SzExtractAll(&archive.vt, &sink, true, SzDefaultThreading()));
    // The decoder ends on the piece it held when the stop came, not at the folder's end.
    EXPECT_EQ(1, archive.readsAfterOpen);
}

}  // namespace
