// File additions: removing folder trees safely, 64-bit sizes, move/copy,
// the mapped file and the raw file handle.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/file_handle.h"
#include "launcher/services/mapped_file.h"
#include "foundation/scoped_handle.h"
#include "launcher_test_util.h"

using launchertest::LogCapture;
using testutil::TempDir;
using utility::ufile::removeDir;

namespace {

// Makes "link" (a new empty folder) a junction to the full path "target".
bool makeJunction(const std::wstring& link, const std::wstring& target)
{
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    utility::ScopedHandle dir(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    // Mount-point data: tag, length, reserved, then substitute and print
    // name (offset, length) and both names with terminators.
    const std::wstring names = L"\\??\\" + target + L'\0' + target + L'\0';
    const USHORT substitute = static_cast<USHORT>((target.size() + 4) * sizeof(wchar_t));
    const USHORT print = static_cast<USHORT>(target.size() * sizeof(wchar_t));
    const USHORT fields[6] = {static_cast<USHORT>(8 + names.size() * sizeof(wchar_t)), 0,    0, substitute,
                              static_cast<USHORT>(substitute + sizeof(wchar_t)),       print};
    std::vector<BYTE> buffer(4 + sizeof(fields) + names.size() * sizeof(wchar_t));
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(&buffer[0], &tag, 4);
    memcpy(&buffer[4], fields, sizeof(fields));
    memcpy(&buffer[4 + sizeof(fields)], names.data(), names.size() * sizeof(wchar_t));
    DWORD returned = 0;
    return dir.valid() && DeviceIoControl(dir.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                                          static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
}

// Runs "/bin/<command>" on the Unix side of Wine on the two paths (false
// when not under Wine) and waits until link's presence is as wanted.
bool runUnix(const char* command, const std::wstring& a, const std::wstring& link, bool present)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn unixName = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixName)
        return false;
    std::string line = std::string("/bin/sh -c \"") + command;
    for (const std::wstring* path : {&a, &link}) {
        char* name = unixName(path->c_str());
        line += std::string(" '") + (name ? name : "") + "'";
        HeapFree(GetProcessHeap(), 0, name);
    }
    std::wstring wide = testutil::widen(line + "\"");
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info;
    if (!CreateProcessW(L"Z:\\bin\\sh", &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    // Wine does not wait for Unix programs: watch for the result instead.
    return testutil::pumpUntil([&] { return (GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) == present; },
                               5000);
}

// A folder link to target: a junction where the system makes them, else
// (Wine) a Unix symbolic link, which Wine shows as a reparse-point folder.
// Returns false when neither could be made.
bool makeLink(const std::wstring& link, const std::wstring& target, bool& unixLink)
{
    unixLink = !makeJunction(link, target);
    if (unixLink)
        RemoveDirectoryW(link.c_str());
    return !unixLink || runUnix("ln -s", target, link, true);
}

}  // namespace

TEST(AdditionsRemoveDir, LockedFileStaysEverythingElseGoes)
{
    TempDir temp;
    const std::wstring root = temp.file(L"tree\\");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"sub").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(root + L"sub\\b.txt", "b"));
    ASSERT_TRUE(testutil::writeFile(root + L"locked.bin", "held"));
    {
        utility::ScopedHandle held(
            CreateFileW((root + L"locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.valid());
        LogCapture log;
        EXPECT_FALSE(removeDir(root));
        EXPECT_TRUE(testutil::fileExists(root + L"locked.bin"));
        EXPECT_FALSE(testutil::dirExists(root + L"sub"));
        EXPECT_EQ(1u, log.count(L"DeleteFile"));
        EXPECT_EQ(1u, log.count(L"locked.bin"));
    }
    // Once the file is free the same call finishes the job.
    EXPECT_TRUE(removeDir(root));
    EXPECT_FALSE(testutil::dirExists(root));
}

TEST(AdditionsRemoveDir, LinksAreRemovedNotFollowed)
{
    TempDir temp;
    const std::wstring outside = temp.file(L"outside");
    const std::wstring root = temp.file(L"tree");
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(outside + L"\\keep.txt", "keep"));
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(root + L"\\own.txt", "own"));
    // A link inside the tree, and a link handed over as the folder itself.
    const std::wstring links[] = {root + L"\\link", temp.file(L"link2")};
    bool unixLink[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(makeLink(links[i], outside, unixLink[i])) << "error " << GetLastError();
        ASSERT_TRUE(testutil::fileExists(links[i] + L"\\keep.txt"));
    }
    for (int i = 0; i < 2; ++i) {
        LogCapture log;
        const bool removed = removeDir(i == 0 ? root : links[i]);
        EXPECT_TRUE(testutil::fileExists(outside + L"\\keep.txt"));
        EXPECT_EQ(0u, log.count(L"DeleteFile"));
        // Wine cannot remove a Unix link through Win32, but says so.
        EXPECT_EQ(removed, !testutil::dirExists(i == 0 ? root : links[i]));
        EXPECT_TRUE(removed || unixLink[i]);
        if (unixLink[i])
            runUnix("rm -f", links[i], links[i], false);
    }
    EXPECT_FALSE(testutil::fileExists(root + L"\\own.txt"));
}

TEST(AdditionsRemoveDir, RefusesEmptyRelativeAndRootPaths)
{
    TempDir temp;
    // Anything a faulty check might reach by a relative path lies in here.
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.path().c_str()));
    ASSERT_TRUE(CreateDirectoryW(temp.file(L"relative").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(temp.file(L"relative\\x.txt"), "x"));
    for (const wchar_t* path : {L"", L"C:\\", L"C:/", L"C:", L"relative", L"C:relative", L"\\relative",
                                L"C:\\windows\\..", L"\\\\server\\share\\"}) {
        LogCapture log;
        EXPECT_FALSE(removeDir(path)) << testutil::narrow(path);
        EXPECT_EQ(1u, log.count(L"refused")) << testutil::narrow(path);
    }
    EXPECT_TRUE(testutil::fileExists(temp.file(L"relative\\x.txt")));
    SetCurrentDirectoryW(previous);

    // A full path with forward slashes and a trailing separator is fine.
    EXPECT_TRUE(removeDir(temp.file(L"relative/")));
    EXPECT_FALSE(testutil::dirExists(temp.file(L"relative")));
    EXPECT_FALSE(removeDir(temp.file(L"missing")));
}

TEST(AdditionsFile, SizesAbove4GbAreNotCut)
{
    TempDir temp;
    const std::wstring big = temp.file(L"big.bin");
    {
        utility::ScopedHandle file(CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD returned = 0;
        DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = 5368709127ll;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    unsigned long long size = 1;
    EXPECT_TRUE(utility::ufile::getFileSize(testutil::narrow(big), size));
    EXPECT_EQ(5368709127ull, size);
    utility::MappedFile tooBig;
    EXPECT_FALSE(tooBig.open(big));
    DeleteFileW(big.c_str());
    EXPECT_FALSE(utility::ufile::getFileSize(big, size));
}

TEST(AdditionsFile, MappedFileEmptyAndNonEmpty)
{
    TempDir temp;
    const std::wstring empty = temp.file(L"empty.bin");
    const std::wstring text = temp.file(L"text.bin");
    ASSERT_TRUE(testutil::writeFile(empty, ""));
    ASSERT_TRUE(testutil::writeFile(text, "mapped bytes"));
    utility::MappedFile file;
    ASSERT_TRUE(file.open(empty));
    EXPECT_EQ(0u, file.size());
    EXPECT_EQ(nullptr, file.data());
    // Opening again replaces the previous file.
    ASSERT_TRUE(file.open(text));
    ASSERT_EQ(12u, file.size());
    EXPECT_EQ("mapped bytes", std::string(reinterpret_cast<const char*>(file.data()), file.size()));
    EXPECT_EQ("mapped bytes", testutil::readFile(text));  // others may read meanwhile
    file.close();
    EXPECT_TRUE(DeleteFileW(text.c_str()));  // closed means closed
    EXPECT_FALSE(file.open(text));
    EXPECT_FALSE(file.isOpen());
}

TEST(AdditionsFile, FileHandleAppendsAndTruncates)
{
    TempDir temp;
    const std::wstring path = temp.file(L"download.tmp");
    utility::FileHandle file;
    EXPECT_FALSE(file.open(path, false));
    ASSERT_TRUE(testutil::writeFile(path, "abc"));
    // Resuming a download: open the existing file and append.
    ASSERT_TRUE(file.open(path, false));
    file.seekToEnd();
    EXPECT_TRUE(file.write("def", 3));
    EXPECT_EQ("abcdef", testutil::readFile(path));  // shared for reading while open
    ASSERT_TRUE(file.create(path));
    EXPECT_TRUE(file.write("new", 3));
    file.close();
    EXPECT_EQ("new", testutil::readFile(path));
}
