#include "foundation/sz/sz_extract.h"

#include <windows.h>

#include <cstdlib>
#include <thread>

#include "7z.h"
#include "7zCrc.h"
#include "foundation/log.h"
#include "foundation/sz/sz_block_queue.h"
#include "foundation/sz/sz_budget_alloc.h"
#include "foundation/sz/sz_dir_sink.h"
#include "foundation/sz/sz_extract_all.h"
#include "foundation/sz/sz_folder_decoder.h"
#include "foundation/sz/sz_mem_sink.h"
#include "foundation/sz/sz_streams.h"

namespace {

// The look-ahead reader's buffer.
const size_t kLookBufSize = 1 << 20;
// At most this many threads open output files ahead of the writer. With one
// more thread readying what they open, two keep well ahead of it; more only
// crowd the folders they create files in, and the decoder threads.
const unsigned kOpeners = 2;

void buildCrcTable()
{
    // Thread-safe once: the table is filled before any caller uses it.
    static const bool built = (CrcGenerateTable(), true);
    (void)built;
}

// Owns what SzExtractAll allocates around the SDK's database.
class SzArchive {
public:
    SzArchive() { SzArEx_Init(&db); }
    ~SzArchive()
    {
        SzArEx_Free(&db, &kSzHeapAlloc);
        free(lookBuf);
        free(folderBuf);
    }
    SzArchive(const SzArchive&) = delete;
    SzArchive& operator=(const SzArchive&) = delete;

    CSzArEx db;
    Byte* lookBuf = nullptr;
    Byte* folderBuf = nullptr;
    size_t folderBufSize = 0;
};

// Decodes a folder the streaming decoder cannot stream into one buffer, kept
// across folders, and hands it to the sink at once.
SRes decodeBuffered(SzArchive& archive, UInt32 folderIndex, ILookInStream* look, SzOutSink* sink)
{
    const UInt64 unpackSize = SzAr_GetFolderUnpackSize(&archive.db.db, folderIndex);
    if (unpackSize > 0xFFFFFFFFu || unpackSize > static_cast<UInt64>(SIZE_MAX)) {
        common::log("SzExtractAll", __LINE__, L"folder %u too large to buffer: %I64u bytes", folderIndex, unpackSize);
        return SZ_ERROR_MEM;
    }
    const size_t size = static_cast<size_t>(unpackSize);
    if (size > archive.folderBufSize) {
        free(archive.folderBuf);
        archive.folderBufSize = 0;
        archive.folderBuf = static_cast<Byte*>(malloc(size));
        if (!archive.folderBuf) {
            common::log("SzExtractAll", __LINE__, L"no memory to buffer folder %u (%I64u bytes)", folderIndex,
                        unpackSize);
            return SZ_ERROR_MEM;
        }
        archive.folderBufSize = size;
    }
    RINOK(SzAr_DecodeFolder(&archive.db.db, folderIndex, look, archive.db.dataPos, archive.folderBuf, size,
                            &kSzHeapAlloc))
    if (size != 0 && sink->write(archive.folderBuf, size) < size) {
        return SZ_ERROR_OUTPUT_EOF;
    }
    return SZ_OK;
}

// Every folder in order, each streamed when its chain allows, else buffered.
SRes decodeFolders(SzArchive& archive, ILookInStream* look, ISeekInStream* raw, SzOutSink* sink,
                   const SzThreading& threading)
{
    SzFolderDecoder decoder(&archive.db, look, raw, sink, threading);
    for (UInt32 i = 0; i < archive.db.db.NumFolders; i++) {
        SRes res = decoder.decode(i);
        if (res == SZ_ERROR_UNSUPPORTED && !decoder.started()) {
            common::log("SzExtractAll", __LINE__, L"folder %u is not streamed: decoding it into a buffer", i);
            res = decodeBuffered(archive, i, look, sink);
        }
        if (res != SZ_OK) {
            common::log("SzExtractAll", __LINE__, L"folder %u failed, SDK result %d", i, res);
            return res;
        }
    }
    return SZ_OK;
}

// The decoding thread's reader: once the writing side has stopped the queue,
// every further look or read fails. A folder decoded into a buffer hands
// nothing to the queue before its end, so this is where it learns to stop.
struct SzStoppableLook {
    ILookInStream vt;  // first: the SDK hands &vt back to the callbacks
    ILookInStream* inner;
    SzBlockQueue* queue;

    SzStoppableLook(ILookInStream* innerStream, SzBlockQueue* stopQueue) : inner(innerStream), queue(stopQueue)
    {
        vt.Look = &look;
        vt.Skip = &skip;
        vt.Read = &read;
        vt.Seek = &seek;
    }

    static SzStoppableLook* of(ILookInStreamPtr p)
    {
        return reinterpret_cast<SzStoppableLook*>(const_cast<ILookInStream*>(p));
    }
    static SRes look(ILookInStreamPtr p, const void** buf, size_t* size)
    {
        SzStoppableLook* self = of(p);
        if (self->queue->stopped()) {
            *size = 0;
            return SZ_ERROR_PROGRESS;
        }
        return ILookInStream_Look(self->inner, buf, size);
    }
    static SRes skip(ILookInStreamPtr p, size_t offset) { return ILookInStream_Skip(of(p)->inner, offset); }
    static SRes read(ILookInStreamPtr p, void* buf, size_t* size)
    {
        SzStoppableLook* self = of(p);
        if (self->queue->stopped()) {
            *size = 0;
            return SZ_ERROR_PROGRESS;
        }
        return ILookInStream_Read(self->inner, buf, size);
    }
    static SRes seek(ILookInStreamPtr p, Int64* pos, ESzSeek origin)
    {
        return ILookInStream_Seek(of(p)->inner, pos, origin);
    }
};

// Joins the decoding thread however the writing side leaves, telling it to
// stop first when the writing side did not drain the queue to its end.
class SzDecodingThread {
public:
    explicit SzDecodingThread(SzBlockQueue& queue) : queue_(queue) {}
    ~SzDecodingThread()
    {
        if (thread_.joinable()) {
            queue_.stop();
            thread_.join();
        }
    }
    SzDecodingThread(const SzDecodingThread&) = delete;
    SzDecodingThread& operator=(const SzDecodingThread&) = delete;

    std::thread& thread() { return thread_; }

private:
    SzBlockQueue& queue_;
    std::thread thread_;
};

// The same on a helper thread, while this thread writes what it decoded.
SRes decodeFoldersPipelined(SzArchive& archive, ILookInStream* look, ISeekInStream* raw, SzOutSink* sink,
                            const SzThreading& threading)
{
    const SzThreading oneThread = {1, 0};
    SzBlockQueue queue(threading.threads > 1 ? SzBlockQueue::manyThreadsBlockCount(threading.memoryBudget)
                                             : SzBlockQueue::kBlockCount);
    if (!queue.ready()) {
        return decodeFolders(archive, look, raw, sink, oneThread);
    }
    SRes decoded = SZ_OK;
    SzStoppableLook stoppable(look, &queue);
    SzDecodingThread decoding(queue);
    try {
        decoding.thread() = std::thread([&archive, &stoppable, raw, &queue, &decoded, &threading] {
            decoded = decodeFolders(archive, &stoppable.vt, raw, &queue, threading);
            queue.close();
        });
    } catch (const std::exception&) {
        common::log("SzExtractAll", __LINE__, L"no decoding thread, lastError = %d", static_cast<int>(GetLastError()));
        return decodeFolders(archive, look, raw, sink, oneThread);
    }
    SRes written = queue.drainInto(sink);
    decoding.thread().join();
    return written != SZ_OK ? written : decoded;
}

SzResultCode finishExtraction(const char* function, SRes res, SzResultCode sinkError)
{
    SzResultCode code = sinkError != 0 ? sinkError : SzResultToCode(res);
    if (code != kSzOk) {
        common::log(function, __LINE__, L"extraction failed, result = %d (SDK result %d)", code, res);
    }
    return code;
}

SzResultCode extractToDir(const char* function, ISeekInStream* input, const std::wstring& targetDir,
                          SzExtractCallback* callback, const SzThreading& threading)
{
    // Files are opened ahead of the writer on a few threads when several
    // may run.
    const unsigned openers = threading.threads > 1 ? (threading.threads < kOpeners ? threading.threads : kOpeners) : 0;
    SzDirSink sink(targetDir, callback, openers);
    SRes res = SzExtractAll(input, &sink, true, threading);
    sink.end();
    SzResultCode code = finishExtraction(function, res, sink.errorCode());
    if (callback) {
        callback->onResult(code, sink.itemName());
    }
    return code;
}

}  // namespace

SzResultCode SzResultToCode(int sdkResult)
{
    switch (sdkResult) {
    case SZ_OK:
        return kSzOk;
    case SZ_ERROR_DATA:
        return kSzErrorData;
    case SZ_ERROR_MEM:
        return kSzErrorMem;
    case SZ_ERROR_CRC:
        return kSzErrorCrc;
    case SZ_ERROR_UNSUPPORTED:
        return kSzErrorUnsupported;
    case SZ_ERROR_PARAM:
        return kSzErrorParam;
    case SZ_ERROR_INPUT_EOF:
        return kSzErrorInputEof;
    case SZ_ERROR_OUTPUT_EOF:
        return kSzErrorOutputEof;
    case SZ_ERROR_READ:
        return kSzErrorRead;
    case SZ_ERROR_WRITE:
        return kSzErrorWrite;
    case SZ_ERROR_PROGRESS:
        return kSzErrorProgress;
    case SZ_ERROR_FAIL:
        return kSzErrorFail;
    case SZ_ERROR_THREAD:
        return kSzErrorThread;
    case SZ_ERROR_ARCHIVE:
        return kSzErrorArchive;
    case SZ_ERROR_NO_ARCHIVE:
        return kSzErrorNoArchive;
    default:
        return kSzErrorOther;
    }
}

SzThreading SzDefaultThreading() { return {SzProcessorCount(), SzDefaultMemoryBudget()}; }

SRes SzExtractAll(ISeekInStream* input, SzOutSink* sink, bool pipelined, const SzThreading& threading)
{
    buildCrcTable();
    SzArchive archive;
    archive.lookBuf = static_cast<Byte*>(malloc(kLookBufSize));
    if (!archive.lookBuf) {
        return SZ_ERROR_MEM;
    }
    CLookToRead2 look;
    LookToRead2_CreateVTable(&look, True);
    look.realStream = input;
    look.buf = archive.lookBuf;
    look.bufSize = kLookBufSize;
    LookToRead2_INIT(&look)

        SRes res = SzArEx_Open(&archive.db, &look.vt, &kSzHeapAlloc, &kSzHeapAlloc);
    if (res != SZ_OK) {
        common::log("SzExtractAll", __LINE__, L"cannot open the archive, SDK result %d", res);
        return res;
    }
    sink->attach(&archive.db);
    res = pipelined ? decodeFoldersPipelined(archive, &look.vt, input, sink, threading)
                    : decodeFolders(archive, &look.vt, input, sink, {1, 0});
    if (res != SZ_OK) {
        return res;
    }
    return sink->finish();
}

SzResultCode SzExtractToDir(const void* data, uint32_t size, const std::wstring& targetDir, SzExtractCallback* callback,
                            const SzThreading& threading)
{
    if (!data && size != 0) {
        common::log("SzExtractToDir", __LINE__, L"no archive bytes");
        if (callback) {
            callback->onResult(kSzErrorParam, L"");
        }
        return kSzErrorParam;
    }
    SzMemInStream input(data, size);
    return extractToDir("SzExtractToDir", &input.vt, targetDir, callback, threading);
}

SzResultCode SzExtractFileToDir(const std::wstring& archivePath, const std::wstring& targetDir,
                                SzExtractCallback* callback, const SzThreading& threading)
{
    SzFileInStream input(archivePath);
    if (!input.isOpen()) {
        if (callback) {
            callback->onResult(kSzErrorRead, L"");
        }
        return kSzErrorRead;
    }
    return extractToDir("SzExtractFileToDir", &input.vt, targetDir, callback, threading);
}

SzResultCode SzExtractInMemory(const void* data, uint32_t size, const SzItemCallback& onItem)
{
    if (!data && size != 0) {
        common::log("SzExtractInMemory", __LINE__, L"no archive bytes");
        return kSzErrorParam;
    }
    SzMemInStream input(data, size);
    SzMemSink sink(onItem);
    SRes res = SzExtractAll(&input.vt, &sink, false, {1, 0});
    return finishExtraction("SzExtractInMemory", res, sink.errorCode());
}
