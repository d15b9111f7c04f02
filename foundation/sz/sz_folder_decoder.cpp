#include "foundation/sz/sz_folder_decoder.h"

#include <cstdlib>
#include <cstring>

#include "7zCrc.h"
#include "Bra.h"
#include "Lzma2Dec.h"
#include "LzmaDec.h"
#include "foundation/log.h"
#include "foundation/sz/sz_crc.h"
#include "foundation/sz/sz_streams.h"

namespace {

const UInt32 kMethodCopy = 0;
const UInt32 kMethodLzma2 = 0x21;
const UInt32 kMethodLzma = 0x30101;
const UInt32 kMethodBcj = 0x3030103;

// Input is looked at in pieces of this size (the look-ahead buffer is larger).
const size_t kInputStep = 1 << 18;
// The branch filter converts this much at a time.
const size_t kFilterBufSize = 1 << 18;

SRes lzmaStep(void* decoder, SizeT dicLimit, const Byte* src, SizeT* srcLen, ELzmaFinishMode finishMode,
              ELzmaStatus* status)
{
    return LzmaDec_DecodeToDic(static_cast<CLzmaDec*>(decoder), dicLimit, src, srcLen, finishMode, status);
}

SRes lzma2Step(void* decoder, SizeT dicLimit, const Byte* src, SizeT* srcLen, ELzmaFinishMode finishMode,
               ELzmaStatus* status)
{
    return Lzma2Dec_DecodeToDic(static_cast<CLzma2Dec*>(decoder), dicLimit, src, srcLen, finishMode, status);
}

bool isStreamableMain(const CSzCoderInfo& coder)
{
    if (coder.NumStreams != 1) {
        return false;
    }
    return coder.MethodID == kMethodCopy || coder.MethodID == kMethodLzma || coder.MethodID == kMethodLzma2;
}

// The window an LZMA decoder needs: its dictionary, rounded the SDK's way,
// but never more than the folder's output (distances cannot reach further).
size_t windowSizeFor(UInt32 dictSize, UInt64 outSize)
{
    UInt64 mask = (1u << 12) - 1;
    if (dictSize >= (1u << 30)) {
        mask = (1u << 22) - 1;
    } else if (dictSize >= (1u << 22)) {
        mask = (1u << 20) - 1;
    }
    UInt64 size = (static_cast<UInt64>(dictSize) + mask) & ~mask;
    UInt64 outRounded = (outSize + 4095) & ~static_cast<UInt64>(4095);
    if (outRounded < size) {
        size = outRounded;
    }
    if (size < 4096) {
        size = 4096;
    }
    if (size > static_cast<UInt64>(SIZE_MAX)) {
        return 0;
    }
    return static_cast<size_t>(size);
}

}  // namespace

SzFolderDecoder::SzFolderDecoder(const CSzArEx* db, ILookInStream* input, ISeekInStream* rawInput, SzOutSink* sink,
                                 const SzThreading& threading)
    : db_(db), input_(input), rawInput_(rawInput), sink_(sink), threading_(threading)
{
}

SzFolderDecoder::~SzFolderDecoder()
{
    free(window_);
    free(filterBuf_);
}

SRes SzFolderDecoder::decode(UInt32 folderIndex)
{
    delivered_ = 0;
    filterOn_ = false;
    filterUsed_ = 0;
    filterPc_ = 0;
    filterState_ = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;

    const CSzAr* ar = &db_->db;
    const Byte* coders = ar->CodersData + ar->FoCodersOffsets[folderIndex];
    CSzData sd;
    sd.Data = coders;
    sd.Size = ar->FoCodersOffsets[folderIndex + 1] - ar->FoCodersOffsets[folderIndex];
    CSzFolder folder;
    SRes res = SzGetNextFolderItem(&folder, &sd);
    if (res != SZ_OK) {
        return res;
    }
    const UInt64 outSize = SzAr_GetFolderUnpackSize(ar, folderIndex);
    if (sd.Size != 0 || folder.UnpackStream != ar->FoToMainUnpackSizeIndex[folderIndex]) {
        return SZ_ERROR_FAIL;
    }

    // Decide before the first byte whether this chain can be streamed.
    if (folder.NumPackStreams != 1 || folder.PackStreams[0] != 0 || !isStreamableMain(folder.Coders[0])) {
        return SZ_ERROR_UNSUPPORTED;
    }
    const UInt64* unpackSizes = &ar->CoderUnpackSizes[ar->FoToCoderUnpackSizes[folderIndex]];
    if (folder.NumCoders == 1) {
        if (folder.NumBonds != 0) {
            return SZ_ERROR_UNSUPPORTED;
        }
    } else if (folder.NumCoders == 2) {
        const CSzCoderInfo& filter = folder.Coders[1];
        if (filter.MethodID != kMethodBcj || filter.NumStreams != 1 || filter.PropsSize != 0 || folder.NumBonds != 1 ||
            folder.Bonds[0].InIndex != 1 || folder.Bonds[0].OutIndex != 0 || unpackSizes[0] != outSize) {
            return SZ_ERROR_UNSUPPORTED;
        }
        if (!filterBuf_) {
            filterBuf_ = static_cast<Byte*>(malloc(kFilterBufSize));
            if (!filterBuf_) {
                return SZ_ERROR_MEM;
            }
        }
        filterOn_ = true;
    } else {
        return SZ_ERROR_UNSUPPORTED;
    }

    const UInt64* packPositions = ar->PackPositions + ar->FoStartPackStreamIndex[folderIndex];
    const UInt64 inSize = packPositions[1] - packPositions[0];
    const CSzCoderInfo& main = folder.Coders[0];
    const Byte* props = coders + main.PropsOffset;
    packStart_ = db_->dataPos + packPositions[0];
    // The chunk headers are read from the stream behind the reader, before it seeks.
    multiThreaded_ = main.MethodID == kMethodLzma2 && planThreads(props, main.PropsSize, packStart_, inSize);
    RINOK(LookInStream_SeekTo(input_, packStart_))

    checkFolderCrc_ = SzBitWithVals_Check(&ar->FolderCRCs, folderIndex);
    folderCrc_ = CRC_INIT_VAL;

    if (main.MethodID == kMethodCopy) {
        res = decodeCopy(inSize, outSize);
    } else if (main.MethodID == kMethodLzma) {
        res = decodeLzma(props, main.PropsSize, inSize, outSize);
    } else {
        res = decodeLzma2(props, main.PropsSize, inSize, outSize);
    }
    if (res == SZ_OK && filterOn_) {
        res = flushFilter();
    }
    if (res == SZ_OK && delivered_ != outSize) {
        res = SZ_ERROR_DATA;
    }
    if (res == SZ_OK && checkFolderCrc_ && CRC_GET_DIGEST(folderCrc_) != ar->FolderCRCs.Vals[folderIndex]) {
        common::log("SzFolderDecoder::decode", __LINE__, L"folder %u fails its CRC", folderIndex);
        res = SZ_ERROR_CRC;
    }
    return res;
}

SRes SzFolderDecoder::decodeCopy(UInt64 inSize, UInt64 outSize)
{
    if (inSize != outSize) {
        return SZ_ERROR_DATA;
    }
    while (inSize > 0) {
        const void* in = nullptr;
        size_t step = kInputStep;
        if (step > inSize) {
            step = static_cast<size_t>(inSize);
        }
        RINOK(ILookInStream_Look(input_, &in, &step))
        if (step == 0) {
            return SZ_ERROR_INPUT_EOF;
        }
        RINOK(emit(static_cast<const Byte*>(in), step))
        inSize -= step;
        RINOK(ILookInStream_Skip(input_, step))
    }
    return SZ_OK;
}

bool SzFolderDecoder::reserveWindow(UInt32 dictSize, UInt64 outSize, size_t* windowSize)
{
    size_t size = windowSizeFor(dictSize, outSize);
    if (size == 0) {
        return false;
    }
    if (size > windowCapacity_) {
        free(window_);
        windowCapacity_ = 0;
        window_ = static_cast<Byte*>(malloc(size));
        if (!window_) {
            common::log("SzFolderDecoder::reserveWindow", __LINE__, L"no memory for a window of %I64u bytes",
                        static_cast<UInt64>(size));
            return false;
        }
        windowCapacity_ = size;
    }
    *windowSize = size;
    return true;
}

SRes SzFolderDecoder::decodeLzma(const Byte* props, unsigned propsSize, UInt64 inSize, UInt64 outSize)
{
    CLzmaProps parsed;
    RINOK(LzmaProps_Decode(&parsed, props, propsSize))
    size_t windowSize = 0;
    if (!reserveWindow(parsed.dicSize, outSize, &windowSize)) {
        return SZ_ERROR_MEM;
    }
    CLzmaDec state;
    LzmaDec_CONSTRUCT(&state) RINOK(LzmaDec_AllocateProbs(&state, props, propsSize, &kSzHeapAlloc)) state.dic = window_;
    state.dicBufSize = windowSize;
    LzmaDec_Init(&state);
    SRes res = pumpWindow(&state, &state, lzmaStep, true, inSize, outSize);
    LzmaDec_FreeProbs(&state, &kSzHeapAlloc);
    return res;
}

bool SzFolderDecoder::planThreads(const Byte* props, unsigned propsSize, UInt64 packStart, UInt64 inSize)
{
    if (!rawInput_ || threading_.threads < 2 || propsSize != 1 || props[0] > 40) {
        return false;
    }
    const SzLzma2Blocks blocks = SzProbeLzma2Blocks(rawInput_, packStart, inSize, threading_.memoryBudget / 2);
    if (!SzPlanLzma2Mt(props[0], blocks, threading_.threads, threading_.memoryBudget, &plan_)) {
        return false;
    }
    common::log("SzFolderDecoder::planThreads", __LINE__,
                L"blocks of %I64u bytes (%I64u packed): %u threads, budget %I64u bytes", blocks.firstUnpacked,
                blocks.firstPacked, plan_.threads, plan_.budget);
    return true;
}

SRes SzFolderDecoder::decodeLzma2(const Byte* props, unsigned propsSize, UInt64 inSize, UInt64 outSize)
{
    if (propsSize != 1 || props[0] > 40) {
        return SZ_ERROR_UNSUPPORTED;
    }
    if (multiThreaded_) {
        SRes res = SzDecodeLzma2Mt(
            props[0], input_, inSize, outSize, plan_,
            [this](const Byte* data, size_t size) { return emit(data, size); }, [this] { return sink_->keepGoing(); });
        if (res != SZ_ERROR_MEM || started() || filterUsed_ != 0) {
            return res;
        }
        // Nothing was decoded yet: decode on this thread alone, as without threads.
        common::log("SzFolderDecoder::decodeLzma2", __LINE__, L"no memory for threads: decoding on one thread");
        RINOK(LookInStream_SeekTo(input_, packStart_))
    }
    const UInt32 dictSize = props[0] == 40 ? 0xFFFFFFFF : ((2u | (props[0] & 1u)) << (props[0] / 2 + 11));
    size_t windowSize = 0;
    if (!reserveWindow(dictSize, outSize, &windowSize)) {
        return SZ_ERROR_MEM;
    }
    CLzma2Dec state;
    Lzma2Dec_CONSTRUCT(&state) RINOK(Lzma2Dec_AllocateProbs(&state, props[0], &kSzHeapAlloc))
        state.decoder.dic = window_;
    state.decoder.dicBufSize = windowSize;
    Lzma2Dec_Init(&state);
    SRes res = pumpWindow(&state, &state.decoder, lzma2Step, false, inSize, outSize);
    Lzma2Dec_FreeProbs(&state, &kSzHeapAlloc);
    return res;
}

SRes SzFolderDecoder::pumpWindow(void* decoder, CLzmaDec* dic, DecodeStep step, bool mayEndWithoutMark, UInt64 inSize,
                                 UInt64 outSize)
{
    SRes res = SZ_OK;
    UInt64 outLeft = outSize;
    for (;;) {
        if (dic->dicPos == dic->dicBufSize) {
            dic->dicPos = 0;
        }
        const SizeT dicStart = dic->dicPos;
        SizeT outStep = dic->dicBufSize - dicStart;
        ELzmaFinishMode finishMode = LZMA_FINISH_ANY;
        if (outStep >= outLeft) {
            outStep = static_cast<SizeT>(outLeft);
            finishMode = LZMA_FINISH_END;
        }
        const void* in = nullptr;
        size_t inStep = kInputStep;
        if (inStep > inSize) {
            inStep = static_cast<size_t>(inSize);
        }
        res = ILookInStream_Look(input_, &in, &inStep);
        if (res != SZ_OK) {
            break;
        }
        SizeT inProcessed = inStep;
        ELzmaStatus status;
        res = step(decoder, dicStart + outStep, static_cast<const Byte*>(in), &inProcessed, finishMode, &status);
        inSize -= inProcessed;
        const SizeT produced = dic->dicPos - dicStart;
        outLeft -= produced;
        if (res != SZ_OK) {
            break;
        }
        if (produced != 0) {
            res = emit(window_ + dicStart, produced);
            if (res != SZ_OK) {
                break;
            }
        }
        res = ILookInStream_Skip(input_, inProcessed);
        if (res != SZ_OK) {
            break;
        }
        if (status == LZMA_STATUS_FINISHED_WITH_MARK) {
            if (outLeft != 0 || inSize != 0) {
                res = SZ_ERROR_DATA;
            }
            break;
        }
        if (mayEndWithoutMark && outLeft == 0 && inSize == 0 && status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK) {
            break;
        }
        if (inProcessed == 0 && produced == 0) {
            res = inStep == 0 && inSize != 0 ? SZ_ERROR_INPUT_EOF : SZ_ERROR_DATA;
            break;
        }
    }
    return res;
}

SRes SzFolderDecoder::emit(const Byte* data, size_t size)
{
    if (!filterOn_) {
        return deliver(data, size);
    }
    while (size > 0) {
        size_t step = kFilterBufSize - filterUsed_;
        if (step > size) {
            step = size;
        }
        memcpy(filterBuf_ + filterUsed_, data, step);
        filterUsed_ += step;
        data += step;
        size -= step;
        if (filterUsed_ == kFilterBufSize) {
            RINOK(runFilter())
        }
    }
    return SZ_OK;
}

// Converts what the filter can and hands it on; the few bytes it must see
// more of stay at the front of the buffer.
SRes SzFolderDecoder::runFilter()
{
    Byte* end = z7_BranchConvSt_X86_Dec(filterBuf_, filterUsed_, filterPc_, &filterState_);
    const size_t done = static_cast<size_t>(end - filterBuf_);
    RINOK(deliver(filterBuf_, done))
    filterPc_ += static_cast<UInt32>(done);
    memmove(filterBuf_, filterBuf_ + done, filterUsed_ - done);
    filterUsed_ -= done;
    return SZ_OK;
}

// At the end of the folder the last bytes, too short for an instruction,
// pass unconverted, as in a whole-buffer conversion.
SRes SzFolderDecoder::flushFilter()
{
    if (filterUsed_ != 0) {
        RINOK(runFilter())
    }
    SRes res = deliver(filterBuf_, filterUsed_);
    filterUsed_ = 0;
    return res;
}

SRes SzFolderDecoder::deliver(const Byte* data, size_t size)
{
    if (size == 0) {
        return SZ_OK;
    }
    if (checkFolderCrc_) {
        folderCrc_ = SzCrcUpdate(folderCrc_, data, size);
    }
    delivered_ += size;
    if (sink_->write(data, size) != size) {
        return SZ_ERROR_OUTPUT_EOF;
    }
    return SZ_OK;
}
