#include "launcher/services/file_handle.h"

#include "foundation/log.h"

namespace utility {

bool FileHandle::openWith(const std::wstring& path, DWORD disposition, const char* function)
{
    close();
    handle_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE)
        return true;
    common::log(function, __LINE__, L"CreateFile [ %s ] error = %d", path.c_str(), GetLastError());
    return false;
}

bool FileHandle::open(const std::wstring& path, bool createIfMissing)
{
    return openWith(path, createIfMissing ? OPEN_ALWAYS : OPEN_EXISTING,
                    "utility::FileHandle::open");
}

bool FileHandle::create(const std::wstring& path)
{
    return openWith(path, CREATE_ALWAYS, "utility::FileHandle::create");
}

bool FileHandle::write(const void* bytes, DWORD count)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return false;
    if (count == 0)
        return true;
    if (!bytes)
        return false;
    DWORD written = 0;
    if (!WriteFile(handle_, bytes, count, &written, nullptr) || written != count) {
        common::log("utility::FileHandle::write", __LINE__,
                    L"WriteFile %d of %d bytes, error = %d", written, count, GetLastError());
        return false;
    }
    return true;
}

void FileHandle::seekToEnd()
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(handle_, zero, nullptr, FILE_END))
        common::log("utility::FileHandle::seekToEnd", __LINE__, L"SetFilePointerEx error = %d",
                    GetLastError());
}

void FileHandle::close()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}

}  // namespace utility
