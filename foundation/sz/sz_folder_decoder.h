// Decodes one folder of a 7z archive straight into a sink, through a
// dictionary-sized window, without a buffer of the folder's unpacked size.
#pragma once

#include "7z.h"
#include "7zTypes.h"
#include "LzmaDec.h"
#include "foundation/sz/sz_extract.h"
#include "foundation/sz/sz_extract_all.h"
#include "foundation/sz/sz_lzma2_mt.h"

// Streams the chains that matter: Copy, LZMA and LZMA2, alone or behind the
// x86 branch filter (BCJ). Other chains are answered with
// SZ_ERROR_UNSUPPORTED before any byte is written, so the caller can decode
// them into a buffer instead. An LZMA2 stream of several independent blocks
// is decoded on up to threading.threads threads; the sink is then called
// from those threads, one call at a time, in order.
class SzFolderDecoder {
public:
    // rawInput is the stream behind input, for looking over an LZMA2
    // stream's chunk headers before it is decoded.
    SzFolderDecoder(const CSzArEx* db, ILookInStream* input, ISeekInStream* rawInput, SzOutSink* sink,
                    const SzThreading& threading);
    ~SzFolderDecoder();
    SzFolderDecoder(const SzFolderDecoder&) = delete;
    SzFolderDecoder& operator=(const SzFolderDecoder&) = delete;

    SRes decode(UInt32 folderIndex);
    // True once the current folder has handed bytes to the sink.
    bool started() const { return delivered_ != 0; }

private:
    SRes decodeCopy(UInt64 inSize, UInt64 outSize);
    SRes decodeLzma(const Byte* props, unsigned propsSize, UInt64 inSize, UInt64 outSize);
    SRes decodeLzma2(const Byte* props, unsigned propsSize, UInt64 inSize, UInt64 outSize);
    // Whether the LZMA2 stream at packStart is decoded on several threads, and how.
    bool planThreads(const Byte* props, unsigned propsSize, UInt64 packStart, UInt64 inSize);
    // One decoder call: fills the window up to dicLimit from src.
    typedef SRes (*DecodeStep)(void* decoder, SizeT dicLimit, const Byte* src, SizeT* srcLen,
                               ELzmaFinishMode finishMode, ELzmaStatus* status);
    // Feeds the folder's packed bytes to the decoder and hands every piece the
    // window gains to emit; dic is the decoder's window state. An LZMA stream
    // may end without an end mark once all input and output are used.
    SRes pumpWindow(void* decoder, CLzmaDec* dic, DecodeStep step, bool mayEndWithoutMark, UInt64 inSize,
                    UInt64 outSize);
    bool reserveWindow(UInt32 dictSize, UInt64 outSize, size_t* windowSize);
    SRes emit(const Byte* data, size_t size);
    SRes runFilter();
    SRes flushFilter();
    SRes deliver(const Byte* data, size_t size);

    const CSzArEx* db_;
    ILookInStream* input_;
    ISeekInStream* rawInput_;
    SzOutSink* sink_;
    SzThreading threading_;
    UInt64 packStart_ = 0;
    bool multiThreaded_ = false;
    SzLzma2MtPlan plan_;

    // Sliding window of the LZMA decoders, kept across folders.
    Byte* window_ = nullptr;
    size_t windowCapacity_ = 0;

    // x86 branch filter stage.
    bool filterOn_ = false;
    Byte* filterBuf_ = nullptr;
    size_t filterUsed_ = 0;
    UInt32 filterPc_ = 0;
    UInt32 filterState_ = 0;

    UInt64 delivered_ = 0;
    bool checkFolderCrc_ = false;
    UInt32 folderCrc_ = 0;
};
