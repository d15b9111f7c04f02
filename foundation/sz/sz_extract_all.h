// The archive-wide decode loop shared by the folder and in-memory extractions.
#pragma once

#include "7z.h"
#include "7zTypes.h"
#include "foundation/sz/sz_extract.h"

// The output side of an extraction: receives the opened database, then every
// folder's decoded bytes in archive order.
class SzOutSink {
public:
    // Called once, after the archive opened and before the first write.
    virtual void attach(const CSzArEx* db) = 0;
    // Takes decoded bytes; returns how many were taken. Fewer than size
    // stops the extraction (the sink keeps its own error code).
    virtual size_t write(const Byte* data, size_t size) = 0;
    // Called after the last folder decoded well: the items that carry no
    // data (folders, empty files) after the last written file. Returns an
    // SDK result.
    virtual SRes finish() = 0;
    // Asked now and then while a pipelined extraction waits for decoded
    // bytes (a folder decoded into a buffer delivers nothing until its end);
    // false ends the extraction (the sink keeps its own error code).
    virtual bool keepGoing() { return true; }

protected:
    ~SzOutSink() {}
};

// Opens the archive read from input and streams every folder into sink.
// Returns an SDK result (SZ_OK, SZ_ERROR_*). With pipelined set, a helper
// thread decodes while the calling thread feeds the sink, so every sink
// call (and every callback it makes) stays on the calling thread; the
// helper then decodes LZMA2 streams of independent blocks on up to
// threading.threads threads. Without it everything runs on the calling
// thread and threading is not used.
SRes SzExtractAll(ISeekInStream* input, SzOutSink* sink, bool pipelined, const SzThreading& threading);
