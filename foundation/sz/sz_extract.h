// 7z extraction: a whole archive into a folder (with progress, cancellation,
// CRC checks and one result code), or item by item into memory.
// Every call is self-contained and may run on any thread; callbacks are
// invoked on the calling thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Result of an extraction: 0 for success, else one of 1000..1017.
typedef int32_t SzResultCode;

enum {
    kSzOk = 0,
    kSzErrorOther = 1000,        // any other LZMA SDK error
    kSzErrorData = 1001,         // corrupt data
    kSzErrorMem = 1002,          // out of memory (also a folder larger than 4 GiB)
    kSzErrorUnsupported = 1003,  // unsupported method (PPMd, encryption, ...)
    kSzErrorParam = 1004,        // bad parameter
    kSzErrorCrc = 1005,          // CRC mismatch
    kSzErrorInputEof = 1006,     // input ended early
    kSzErrorOutputEof = 1007,    // output ended early (a short write)
    kSzErrorRead = 1008,         // read error
    kSzErrorWrite = 1009,        // write error
    kSzErrorProgress = 1010,     // progress error
    kSzErrorFail = 1011,         // failure
    kSzErrorThread = 1012,       // thread error
    kSzErrorArchive = 1013,      // archive error
    kSzErrorNoArchive = 1014,    // not an archive
    kSzErrorOpenFile = 1015,     // the next output file could not be opened (or its name was refused)
    kSzErrorWriteFile = 1016,    // writing an output file failed
    kSzErrorCancelled = 1017,    // the callback asked to stop
};

// Implemented by the caller of a folder extraction. Not owned by the layer.
class SzExtractCallback {
public:
    // Asked before every write to an output file; false stops the extraction (1017).
    virtual bool shouldContinue() = 0;
    // After every write: the current item, its index, the number of items,
    // the bytes written so far and the archive's whole unpacked size.
    virtual void onProcessing(const wchar_t* itemName, uint64_t itemIndex, uint64_t itemCount, uint64_t bytesDone,
                              uint64_t bytesTotal) = 0;
    // Once at the end of a folder extraction, with the last item handled.
    virtual void onResult(int32_t code, const wchar_t* itemName) = 0;

protected:
    ~SzExtractCallback() {}
};

// How a folder extraction may decode an LZMA2 stream made of independent
// blocks (7zz's "c=" block size): on up to `threads` threads, the decoder
// holding at most `memoryBudget` bytes at once. Fewer threads decode when
// the budget holds fewer blocks; with fewer than two, or a stream of one
// block, one thread decodes through a dictionary-sized window.
struct SzThreading {
    unsigned threads;
    uint64_t memoryBudget;
};

// Every processor of the process; a quarter of physical memory, at most
// 1 GiB (384 MiB in a 32-bit process).
SzThreading SzDefaultThreading();

// Receives each complete, CRC-checked file of an in-memory extraction.
typedef std::function<void(const std::wstring& itemName, const std::string& bytes)> SzItemCallback;

// Maps an LZMA SDK result (SZ_OK, SZ_ERROR_*) to a SzResultCode.
SzResultCode SzResultToCode(int sdkResult);

// Extracts an archive held in memory into targetDir (created when missing).
// callback may be null; when given, onResult is called exactly once.
// Items whose names would leave targetDir ("..", drive letters, leading
// separators, streams, device names) or exceed 259 characters stop the
// extraction with 1015; nothing is written outside targetDir.
// Files are written, and the callback called, on the calling thread only.
SzResultCode SzExtractToDir(const void* data, uint32_t size, const std::wstring& targetDir, SzExtractCallback* callback,
                            const SzThreading& threading = SzDefaultThreading());

// Extracts the archive file at archivePath into targetDir. callback may be null.
SzResultCode SzExtractFileToDir(const std::wstring& archivePath, const std::wstring& targetDir,
                                SzExtractCallback* callback, const SzThreading& threading = SzDefaultThreading());

// Hands every non-empty file of an archive held in memory to onItem, in
// archive order, with its name as stored ('/' between folders, e.g.
// "img/logo.png"). Folders and empty files are skipped. No progress, no
// cancellation. Result: 0 or 1000..1014 (1005 for a file whose CRC fails).
SzResultCode SzExtractInMemory(const void* data, uint32_t size, const SzItemCallback& onItem);
