#include "foundation/sz/sz_lzma2_mt.h"

#include <cstring>

#include "Lzma2DecMt.h"
#include "foundation/log.h"
#include "foundation/sz/sz_budget_alloc.h"

namespace {

// The SDK's most decoder threads (MTDEC_THREADS_MAX; its header is C only).
const uint64_t kSdkThreadsMax = 32;
// Input pieces the decoder threads read and decode at a time: small enough
// that a stop reaches every thread within a few milliseconds.
const size_t kMtInputStep = 1 << 16;
// The input buffer and output step of the SDK's single-thread fallback.
const size_t kStInputBuffer = 1 << 20;
// What a thread holds beyond its block: probabilities, alignment, the
// partly filled last input piece and the piece that crosses into the next block.
const uint64_t kThreadSlack = 3 * kMtInputStep + (64 << 10);

bool readExact(ISeekInStream* input, Byte* buf, size_t size)
{
    while (size > 0) {
        size_t got = size;
        if (ISeekInStream_Read(input, buf, &got) != SZ_OK || got == 0) {
            return false;
        }
        buf += got;
        size -= got;
    }
    return true;
}

uint64_t dictionaryOf(Byte prop)
{
    return prop >= 40 ? 0xFFFFFFFFull : (static_cast<uint64_t>(2 | (prop & 1)) << (prop / 2 + 11));
}

// The decoder's input: the stream's packed bytes and no more. The end of
// them is answered with a size of 0 and SZ_OK, as the SDK's stream contract
// asks; input that ends before them is an error of its own.
struct MtInput {
    ISeqInStream vt;  // first: the SDK hands &vt back to the callbacks
    ILookInStream* look;
    uint64_t left;
    bool endedEarly = false;
    SRes failed = SZ_OK;

    MtInput(ILookInStream* input, uint64_t size) : look(input), left(size) { vt.Read = &read; }

    static SRes read(ISeqInStreamPtr p, void* buf, size_t* size)
    {
        MtInput* self = reinterpret_cast<MtInput*>(const_cast<ISeqInStream*>(p));
        if (*size > self->left) {
            *size = static_cast<size_t>(self->left);
        }
        if (*size == 0) {
            return SZ_OK;
        }
        // Through the look-ahead buffer, which reads the file a megabyte at
        // a time: read directly, each small piece would be a read of its
        // own, and under Wine every read waits its turn for the process's
        // file lock with the threads that open the output files.
        const void* looked = nullptr;
        SRes res = ILookInStream_Look(self->look, &looked, size);
        if (res == SZ_OK && *size != 0) {
            memcpy(buf, looked, *size);
            res = ILookInStream_Skip(self->look, *size);
        }
        if (res != SZ_OK) {
            self->failed = res;
            *size = 0;
            return res;
        }
        if (*size == 0) {
            self->endedEarly = true;
            return SZ_ERROR_INPUT_EOF;
        }
        self->left -= *size;
        return SZ_OK;
    }
};

struct MtOutput {
    ISeqOutStream vt;  // first, as above
    const SzLzma2Emit* emit;
    SRes failed = SZ_OK;

    explicit MtOutput(const SzLzma2Emit* target) : emit(target) { vt.Write = &write; }

    static size_t write(ISeqOutStreamPtr p, const void* buf, size_t size)
    {
        MtOutput* self = reinterpret_cast<MtOutput*>(const_cast<ISeqOutStream*>(p));
        if (self->failed != SZ_OK) {
            return 0;
        }
        SRes res = (*self->emit)(static_cast<const Byte*>(buf), size);
        if (res != SZ_OK) {
            self->failed = res;
            return 0;
        }
        return size;
    }
};

struct MtProgress {
    ICompressProgress vt;  // first, as above
    const SzLzma2KeepGoing* keepGoing;

    explicit MtProgress(const SzLzma2KeepGoing* ask) : keepGoing(ask) { vt.Progress = &progress; }

    static SRes progress(ICompressProgressPtr p, UInt64, UInt64)
    {
        const MtProgress* self = reinterpret_cast<const MtProgress*>(p);
        return (*self->keepGoing)() ? SZ_OK : SZ_ERROR_PROGRESS;
    }
};

}  // namespace

SzLzma2Blocks SzProbeLzma2Blocks(ISeekInStream* input, uint64_t start, uint64_t packedSize, uint64_t unpackedLimit)
{
    SzLzma2Blocks blocks;
    uint64_t pos = 0;
    while (pos < packedSize && blocks.firstUnpacked <= unpackedLimit) {
        Int64 at = static_cast<Int64>(start + pos);
        Byte header[6];
        const uint64_t left = packedSize - pos;
        const size_t want = left < sizeof(header) ? static_cast<size_t>(left) : sizeof(header);
        if (ISeekInStream_Seek(input, &at, SZ_SEEK_SET) != SZ_OK || !readExact(input, header, want)) {
            break;
        }
        const Byte control = header[0];
        if (control == 0 || want < 3) {
            break;  // the end mark
        }
        const bool resetsDictionary = control == 1 || control >= 0xE0;
        if (resetsDictionary && pos != 0) {
            blocks.several = true;
            blocks.firstPacked = pos;
            return blocks;
        }
        uint64_t unpacked = 0;
        uint64_t chunk = 0;
        if (control == 1 || control == 2) {
            unpacked = ((static_cast<uint64_t>(header[1]) << 8) | header[2]) + 1;
            chunk = 3 + unpacked;
        } else if (control >= 0x80 && want == sizeof(header)) {
            unpacked = ((static_cast<uint64_t>(control & 0x1F) << 16) | (header[1] << 8) | header[2]) + 1;
            const uint64_t packed = ((static_cast<uint64_t>(header[3]) << 8) | header[4]) + 1;
            chunk = (control >= 0xC0 ? 6 : 5) + packed;
        } else {
            break;  // not a chunk: the single-thread decoder says so
        }
        blocks.firstUnpacked += unpacked;
        pos += chunk;
    }
    blocks.several = false;
    return blocks;
}

bool SzPlanLzma2Mt(Byte prop, const SzLzma2Blocks& blocks, unsigned maxThreads, uint64_t budget, SzLzma2MtPlan* plan)
{
    if (!blocks.several || maxThreads < 2 || prop > 40) {
        return false;
    }
    // The SDK's fallback decodes the rest on one thread through a whole dictionary.
    const uint64_t reserve = dictionaryOf(prop) + kStInputBuffer + kThreadSlack + sizeof(void*) * (1 << 12);
    const uint64_t perThread = blocks.firstUnpacked + blocks.firstPacked + kThreadSlack;
    if (budget <= reserve) {
        return false;
    }
    uint64_t threads = (budget - reserve) / perThread;
    if (threads > maxThreads) {
        threads = maxThreads;
    }
    if (threads > kSdkThreadsMax) {
        threads = kSdkThreadsMax;
    }
    if (threads < 2) {
        return false;
    }
    // What a thread's share leaves for a decoded block, at least the first block.
    const uint64_t share = (budget - reserve) / threads;
    uint64_t blockMax = share - blocks.firstPacked - kThreadSlack;
    if (blockMax < blocks.firstUnpacked) {
        blockMax = blocks.firstUnpacked;
    }
    if (blockMax > (static_cast<uint64_t>(SIZE_MAX) >> 2)) {
        blockMax = static_cast<uint64_t>(SIZE_MAX) >> 2;
    }
    plan->threads = static_cast<unsigned>(threads);
    plan->blockMax = static_cast<size_t>(blockMax);
    plan->budget = budget;
    return true;
}

SRes SzDecodeLzma2Mt(Byte prop, ILookInStream* input, uint64_t packedSize, uint64_t unpackedSize,
                     const SzLzma2MtPlan& plan, const SzLzma2Emit& emit, const SzLzma2KeepGoing& keepGoing)
{
    SzBudgetAlloc alloc(plan.budget);
    CLzma2DecMtHandle decoder = Lzma2DecMt_Create(&alloc.vt, &alloc.vt);
    if (!decoder) {
        return SZ_ERROR_MEM;
    }
    CLzma2DecMtProps props;
    Lzma2DecMtProps_Init(&props);
    props.inBufSize_ST = kStInputBuffer;
    props.outStep_ST = kStInputBuffer;
    props.numThreads = plan.threads;
    props.inBufSize_MT = kMtInputStep;
    props.outBlockMax = plan.blockMax;

    MtInput in(input, packedSize);
    MtOutput out(&emit);
    MtProgress progress(&keepGoing);
    const UInt64 outSize = unpackedSize;
    UInt64 inProcessed = 0;
    int usedThreads = 0;
    SRes res = Lzma2DecMt_Decode(decoder, prop, &props, &out.vt, &outSize, 1, &in.vt, &inProcessed, &usedThreads,
                                 &progress.vt);
    Lzma2DecMt_Destroy(decoder);
    if (alloc.refusals() != 0) {
        common::log("SzDecodeLzma2Mt", __LINE__, L"%u buffers over the budget of %I64u bytes: fewer threads",
                    alloc.refusals(), alloc.budget());
    }

    // The multi-threaded decoder may end a broken block early and still
    // answer SZ_OK: what it read and wrote is checked here, and its answers
    // are told the way the single-thread decoder tells them.
    if (out.failed != SZ_OK) {
        return SZ_ERROR_OUTPUT_EOF;
    }
    if (in.failed != SZ_OK) {
        return in.failed;
    }
    if (in.endedEarly) {
        return SZ_ERROR_INPUT_EOF;
    }
    if (res == SZ_ERROR_PROGRESS || res == SZ_ERROR_MEM || res == SZ_ERROR_THREAD) {
        return res;
    }
    if (res < 0) {
        // A system error of the threads themselves, as an HRESULT.
        common::log("SzDecodeLzma2Mt", __LINE__, L"decoder threads failed, error 0x%08X", static_cast<unsigned>(res));
        return SZ_ERROR_THREAD;
    }
    if (res != SZ_OK || inProcessed != packedSize) {
        return SZ_ERROR_DATA;
    }
    return SZ_OK;
}
