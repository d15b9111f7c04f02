#include "launcher/services/file_handle.h"

#include "foundation/log.h"

namespace utility {

bool FileHandle::openWith(const std::wstring& path, DWORD disposition, const char* function)
{
    close();
    handle_.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle_.valid())
        return true;
    const DWORD error = GetLastError();
    common::log(function, __LINE__, L"CreateFile [ %s ] error = %d", path.c_str(), error);
    SetLastError(error);
    return false;
}

bool FileHandle::open(const std::wstring& path, bool createIfMissing)
{
    return openWith(path, createIfMissing ? OPEN_ALWAYS : OPEN_EXISTING, "utility::FileHandle::open");
}

bool FileHandle::create(const std::wstring& path)
{
    return openWith(path, CREATE_ALWAYS, "utility::FileHandle::create");
}

bool FileHandle::write(const void* bytes, DWORD count)
{
    if (!handle_.valid())
        return false;
    if (count == 0)
        return true;
    if (!bytes)
        return false;
    DWORD written = 0;
    if (!WriteFile(handle_.get(), bytes, count, &written, nullptr) || written != count) {
        const DWORD error = GetLastError();
        common::log("utility::FileHandle::write", __LINE__, L"WriteFile %d of %d bytes, error = %d", written, count,
                    error);
        SetLastError(error);
        return false;
    }
    return true;
}

bool FileHandle::seekToEnd()
{
    if (!handle_.valid())
        return false;
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (SetFilePointerEx(handle_.get(), zero, nullptr, FILE_END))
        return true;
    common::log("utility::FileHandle::seekToEnd", __LINE__, L"SetFilePointerEx error = %d", GetLastError());
    return false;
}

void FileHandle::close() { handle_.reset(); }

}  // namespace utility
