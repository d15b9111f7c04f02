#include "foundation/sz/sz_streams.h"

#include <cstdlib>
#include <cstring>

#include "foundation/log.h"

namespace {

void* heapAlloc(ISzAllocPtr, size_t size) { return size == 0 ? nullptr : malloc(size); }

void heapFree(ISzAllocPtr, void* address) { free(address); }

SzMemInStream* memStreamOf(ISeekInStreamPtr p)
{
    return reinterpret_cast<SzMemInStream*>(const_cast<ISeekInStream*>(p));
}

SzFileInStream* fileStreamOf(ISeekInStreamPtr p)
{
    return reinterpret_cast<SzFileInStream*>(const_cast<ISeekInStream*>(p));
}

SRes memRead(ISeekInStreamPtr p, void* buf, size_t* size)
{
    SzMemInStream* s = memStreamOf(p);
    size_t left = s->size - s->pos;
    if (*size > left) {
        *size = left;
    }
    if (*size != 0) {
        memcpy(buf, s->data + s->pos, *size);
        s->pos += static_cast<UInt32>(*size);
    }
    return SZ_OK;
}

SRes memSeek(ISeekInStreamPtr p, Int64* pos, ESzSeek origin)
{
    SzMemInStream* s = memStreamOf(p);
    Int64 base = 0;
    switch (origin) {
    case SZ_SEEK_SET:
        base = 0;
        break;
    case SZ_SEEK_CUR:
        base = s->pos;
        break;
    case SZ_SEEK_END:
        base = s->size;
        break;
    default:
        return SZ_ERROR_PARAM;
    }
    // Offsets come from the archive itself: check them before adding.
    if (*pos < -base) {
        common::log("SzMemInStream::seek", __LINE__, L"seek before the start, offset = %I64d", *pos);
        return SZ_ERROR_PARAM;
    }
    if (*pos > static_cast<Int64>(s->size) - base) {
        common::log("SzMemInStream::seek", __LINE__, L"seek past the end, offset = %I64d size = %u", *pos, s->size);
        return SZ_ERROR_INPUT_EOF;
    }
    s->pos = static_cast<UInt32>(base + *pos);
    *pos = s->pos;
    return SZ_OK;
}

SRes fileRead(ISeekInStreamPtr p, void* buf, size_t* size)
{
    SzFileInStream* s = fileStreamOf(p);
    size_t wanted = *size;
    if (wanted == 0) {
        return SZ_OK;
    }
    DWORD chunk = wanted > (1u << 30) ? (1u << 30) : static_cast<DWORD>(wanted);
    DWORD got = 0;
    if (!ReadFile(s->file.get(), buf, chunk, &got, nullptr)) {
        DWORD err = GetLastError();
        common::log("SzFileInStream::read", __LINE__, L"ReadFile failed lastError = %d", err);
        *size = 0;
        return SZ_ERROR_READ;
    }
    // The end of the file is a size of 0 with SZ_OK; the SDK's readers turn
    // it into SZ_ERROR_INPUT_EOF where they needed more.
    *size = got;
    return SZ_OK;
}

SRes fileSeek(ISeekInStreamPtr p, Int64* pos, ESzSeek origin)
{
    SzFileInStream* s = fileStreamOf(p);
    DWORD method = FILE_BEGIN;
    switch (origin) {
    case SZ_SEEK_SET:
        method = FILE_BEGIN;
        break;
    case SZ_SEEK_CUR:
        method = FILE_CURRENT;
        break;
    case SZ_SEEK_END:
        method = FILE_END;
        break;
    default:
        return SZ_ERROR_PARAM;
    }
    LARGE_INTEGER distance;
    distance.QuadPart = *pos;
    LARGE_INTEGER result;
    if (!SetFilePointerEx(s->file.get(), distance, &result, method)) {
        DWORD err = GetLastError();
        common::log("SzFileInStream::seek", __LINE__, L"SetFilePointerEx failed lastError = %d", err);
        return SZ_ERROR_READ;
    }
    *pos = result.QuadPart;
    return SZ_OK;
}

}  // namespace

const ISzAlloc kSzHeapAlloc = {heapAlloc, heapFree};

SzMemInStream::SzMemInStream(const void* bytes, UInt32 byteCount)
    : data(static_cast<const Byte*>(bytes)), size(byteCount), pos(0)
{
    vt.Read = memRead;
    vt.Seek = memSeek;
}

SzFileInStream::SzFileInStream(const std::wstring& path)
{
    vt.Read = fileRead;
    vt.Seek = fileSeek;
    file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        DWORD err = GetLastError();
        common::log("SzFileInStream::SzFileInStream", __LINE__, L"cannot open %s lastError = %d", path.c_str(), err);
    }
}
