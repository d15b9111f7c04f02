// Multi-threaded decoding of an LZMA2 stream whose blocks start with a
// dictionary reset, and so can be decoded apart: the LZMA SDK's own
// Lzma2DecMt, fed from the archive and held to a memory budget.
#pragma once

#include <cstdint>
#include <functional>

#include "7zTypes.h"

// What the first chunk headers of an LZMA2 stream tell.
struct SzLzma2Blocks {
    bool several = false;        // a second block starts within the probed part
    uint64_t firstUnpacked = 0;  // the first block's sizes
    uint64_t firstPacked = 0;
};

// Reads the chunk headers of the LZMA2 stream of packedSize bytes at offset
// start of input (seeking over the chunks' data) until a second block begins
// or the first exceeds unpackedLimit. A broken or unreadable header ends the
// probe as "one block": the single-thread decoder then reports it.
SzLzma2Blocks SzProbeLzma2Blocks(ISeekInStream* input, uint64_t start, uint64_t packedSize, uint64_t unpackedLimit);

// How one stream is decoded on several threads.
struct SzLzma2MtPlan {
    unsigned threads = 1;
    size_t blockMax = 0;  // a larger block sends the rest of the stream to one thread
    uint64_t budget = 0;  // bytes the SDK may hold at once
};

// Fits up to maxThreads threads, each holding a block as large as the first
// (decoded and packed), into budget, beside what the SDK's own single-thread
// fallback needs. False when fewer than two fit: the stream is then best
// decoded by the single-thread decoder.
bool SzPlanLzma2Mt(Byte prop, const SzLzma2Blocks& blocks, unsigned maxThreads, uint64_t budget, SzLzma2MtPlan* plan);

// Where the decoded bytes go: called in stream order, one call at a time,
// from whichever decoder thread's turn it is. Returns an SDK result.
typedef std::function<SRes(const Byte* data, size_t size)> SzLzma2Emit;
// Asked now and then from the decoder threads: false stops them.
typedef std::function<bool()> SzLzma2KeepGoing;

// Decodes the LZMA2 stream of packedSize bytes read from input (at its
// position) into unpackedSize bytes. Results follow the single-thread
// decoder's: SZ_ERROR_INPUT_EOF only when input ends before packedSize
// bytes, SZ_ERROR_DATA for a stream that is broken, ends early or leaves
// packed bytes unread, SZ_ERROR_OUTPUT_EOF when emit failed.
SRes SzDecodeLzma2Mt(Byte prop, ILookInStream* input, uint64_t packedSize, uint64_t unpackedSize,
                     const SzLzma2MtPlan& plan, const SzLzma2Emit& emit, const SzLzma2KeepGoing& keepGoing);
