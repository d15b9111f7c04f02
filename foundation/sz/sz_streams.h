// Seekable inputs for the LZMA SDK: an archive in memory or in a file.
#pragma once

#include <windows.h>

#include <string>

#include "7zTypes.h"
#include "foundation/scoped_handle.h"

// Reads an archive held in memory. Seeks before the start or past the end
// fail; reads never leave the buffer.
struct SzMemInStream {
    ISeekInStream vt;  // first: the SDK hands &vt back to the callbacks
    const Byte* data;
    UInt32 size;
    UInt32 pos;

    SzMemInStream(const void* bytes, UInt32 byteCount);
};

// Reads an archive file. As every SDK stream: a read at the end of the file
// delivers 0 bytes with SZ_OK; a read that fails answers SZ_ERROR_READ.
struct SzFileInStream {
    ISeekInStream vt;  // first, as above
    utility::ScopedHandle file;

    explicit SzFileInStream(const std::wstring& path);

    bool isOpen() const { return file.valid(); }
};

// The C heap, used for both of the SDK's allocators.
extern const ISzAlloc kSzHeapAlloc;
