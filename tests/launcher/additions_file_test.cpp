// File additions: removing folder trees safely, 64-bit sizes, move/copy,
// the mapped file and the raw file handle.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "additions_test_log.h"
#include "common/test_util.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/file_handle.h"
#include "launcher/services/mapped_file.h"
#include "launcher/services/scoped_handle.h"

using addtest::LogCapture;
using testutil::TempDir;

namespace {

// Makes "link" (an empty folder) a junction to "target" (a full path).
bool makeJunction(const std::wstring& link, const std::wstring& target)
{
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    utility::ScopedHandle dir(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
    if (!dir.valid())
        return false;
    const std::wstring substitute = L"\\??\\" + target;
    const USHORT substituteBytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
    const USHORT printBytes = static_cast<USHORT>(target.size() * sizeof(wchar_t));
    // Mount-point reparse data: tag, length, reserved, four offsets/lengths, names.
    const size_t header = 8;
    const size_t mountHeader = 8;
    const size_t pathBytes = substituteBytes + sizeof(wchar_t) + printBytes + sizeof(wchar_t);
    std::vector<BYTE> buffer(header + mountHeader + pathBytes, 0);
    DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    USHORT dataLength = static_cast<USHORT>(mountHeader + pathBytes);
    memcpy(&buffer[0], &tag, 4);
    memcpy(&buffer[4], &dataLength, 2);
    USHORT fields[4] = {0, substituteBytes, static_cast<USHORT>(substituteBytes + sizeof(wchar_t)),
                        printBytes};
    memcpy(&buffer[header], fields, sizeof(fields));
    memcpy(&buffer[header + mountHeader], substitute.c_str(), substituteBytes);
    memcpy(&buffer[header + mountHeader + substituteBytes + sizeof(wchar_t)], target.c_str(),
           printBytes);
    DWORD returned = 0;
    return DeviceIoControl(dir.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                           static_cast<DWORD>(buffer.size()), nullptr, 0, &returned,
                           nullptr) != FALSE;
}

bool runningOnWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Wine's path of a file on the Unix side (empty when not under Wine).
std::string unixName(const std::wstring& path)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn toUnix = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix)
        return std::string();
    char* name = toUnix(path.c_str());
    if (!name)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a Unix tool from the Wine side and waits for it.
void runUnix(const wchar_t* tool, const std::string& args)
{
    std::wstring line = std::wstring(L"/bin/") + tool + L" " + testutil::widen(args);
    std::wstring exe = std::wstring(L"Z:\\bin\\") + tool;
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info;
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return;
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

enum class LinkKind { None, Junction, UnixLink };

// A folder link "link" -> "target": a junction where the system makes them;
// under Wine (which cannot) a Unix symbolic link, which Wine reports as a
// reparse-point folder.
LinkKind makeLink(const std::wstring& link, const std::wstring& target)
{
    if (makeJunction(link, target))
        return LinkKind::Junction;
    RemoveDirectoryW(link.c_str());
    if (!runningOnWine())
        return LinkKind::None;
    runUnix(L"ln", "-s \"" + unixName(target) + "\" \"" + unixName(link) + "\"");
    // Wine does not wait for Unix programs: watch for the link instead.
    for (int i = 0; i < 100; ++i) {
        const DWORD attributes = GetFileAttributesW(link.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return LinkKind::UnixLink;
        Sleep(50);
    }
    return LinkKind::None;
}

// Wine cannot remove a Unix link through Win32; the test cleans up after itself.
void dropUnixLink(const std::wstring& link)
{
    runUnix(L"rm", "-f \"" + unixName(link) + "\"");
    for (int i = 0; i < 100 && GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
}

}  // namespace

TEST(AdditionsRemoveDir, LockedFileStaysEverythingElseGoes)
{
    TempDir temp;
    const std::wstring root = temp.file(L"tree\\");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"sub\\deeper").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(root + L"a.txt", "a"));
    ASSERT_TRUE(testutil::writeFile(root + L"sub\\b.txt", "b"));
    ASSERT_TRUE(testutil::writeFile(root + L"sub\\deeper\\c.txt", "c"));
    ASSERT_TRUE(testutil::writeFile(root + L"locked.bin", "held"));

    {
        utility::ScopedHandle held(CreateFileW((root + L"locked.bin").c_str(), GENERIC_READ, 0,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                               nullptr));
        ASSERT_TRUE(held.valid());
        LogCapture log;
        EXPECT_FALSE(utility::ufile::removeDir(root));
        EXPECT_TRUE(testutil::fileExists(root + L"locked.bin"));
        EXPECT_FALSE(testutil::fileExists(root + L"a.txt"));
        EXPECT_FALSE(testutil::dirExists(root + L"sub"));
        EXPECT_EQ(1u, log.count(L"DeleteFile fileName"));
        EXPECT_EQ(1u, log.count(L"locked.bin"));
    }
    // Once the file is free the same call finishes the job.
    EXPECT_TRUE(utility::ufile::removeDir(root));
    EXPECT_FALSE(testutil::dirExists(root));
}

TEST(AdditionsRemoveDir, JunctionIsRemovedNotFollowed)
{
    TempDir temp;
    const std::wstring outside = temp.file(L"outside");
    const std::wstring root = temp.file(L"tree");
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(outside + L"\\keep.txt", "keep"));
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(root + L"\\own.txt", "own"));
    const std::wstring link = root + L"\\sub\\link";
    const LinkKind kind = makeLink(link, outside);
    ASSERT_NE(LinkKind::None, kind) << "error " << GetLastError();
    // The link really leads outside the tree.
    ASSERT_TRUE(testutil::fileExists(link + L"\\keep.txt"));

    {
        LogCapture log;
        const bool removed = utility::ufile::removeDir(root);
        EXPECT_TRUE(testutil::fileExists(outside + L"\\keep.txt"));
        EXPECT_FALSE(testutil::fileExists(root + L"\\own.txt"));
        EXPECT_EQ(0u, log.count(L"DeleteFile"));
        EXPECT_EQ(removed, !testutil::dirExists(root));  // the result tells the truth
        if (kind == LinkKind::Junction) {
            EXPECT_TRUE(removed);
        }
    }

    // A link handed over as the folder itself is never walked either.
    const std::wstring link2 = temp.file(L"link2");
    const LinkKind kind2 = makeLink(link2, outside);
    ASSERT_NE(LinkKind::None, kind2);
    const bool removed = utility::ufile::removeDir(link2);
    EXPECT_TRUE(testutil::fileExists(outside + L"\\keep.txt"));
    EXPECT_EQ(removed, !testutil::dirExists(link2));
    if (kind2 == LinkKind::Junction) {
        EXPECT_TRUE(removed);
    }

    if (kind == LinkKind::UnixLink) {
        dropUnixLink(link);
        EXPECT_TRUE(utility::ufile::removeDir(root));
    }
    if (kind2 == LinkKind::UnixLink)
        dropUnixLink(link2);
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

    const wchar_t* refused[] = {L"",           L"C:\\",       L"C:/",
                                L"C:",         L"c:\\\\",     L"relative",
                                L".\\relative", L"C:relative", L"\\relative",
                                L"C:\\windows\\..", L"\\\\server\\share\\"};
    for (const wchar_t* path : refused) {
        LogCapture log;
        EXPECT_FALSE(utility::ufile::removeDir(path)) << testutil::narrow(path);
        EXPECT_EQ(1u, log.count(L"refused")) << testutil::narrow(path);
    }
    EXPECT_TRUE(testutil::fileExists(temp.file(L"relative\\x.txt")));
    EXPECT_TRUE(testutil::dirExists(L"C:\\windows\\system32"));
    SetCurrentDirectoryW(previous);

    // A full path with forward slashes and a trailing separator is fine.
    std::wstring slashed = temp.file(L"relative/");
    EXPECT_TRUE(utility::ufile::removeDir(slashed));
    EXPECT_FALSE(testutil::dirExists(temp.file(L"relative")));
    // A folder that does not exist is not reported as removed.
    EXPECT_FALSE(utility::ufile::removeDir(temp.file(L"missing")));
}

TEST(AdditionsFile, SizesMoveCopyAndExeDir)
{
    TempDir temp;
    const std::wstring small = temp.file(L"small.bin");
    ASSERT_TRUE(testutil::writeFile(small, std::string(1234, 'z')));
    unsigned long long size = 1;
    EXPECT_TRUE(utility::ufile::getFileSize(small, size));
    EXPECT_EQ(1234u, size);
    EXPECT_TRUE(utility::ufile::getFileSize(testutil::narrow(small), size));
    EXPECT_EQ(1234u, size);
    EXPECT_FALSE(utility::ufile::getFileSize(temp.file(L"missing.bin"), size));

    // Sizes above 4 GB (a sparse file) are not cut to 32 bits.
    const std::wstring big = temp.file(L"big.bin");
    {
        utility::ScopedHandle file(CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.valid());
        DWORD returned = 0;
        DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = 5368709120ll + 7;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    EXPECT_TRUE(utility::ufile::getFileSize(big, size));
    EXPECT_EQ(5368709127ull, size);
    utility::MappedFile tooBig;
    EXPECT_FALSE(tooBig.open(big));
    EXPECT_FALSE(tooBig.isOpen());
    DeleteFileW(big.c_str());

    const std::wstring copy = temp.file(L"copy.bin");
    EXPECT_TRUE(utility::ufile::copyFile(small, copy, true));
    {
        LogCapture log;
        EXPECT_FALSE(utility::ufile::copyFile(small, copy, true));
        EXPECT_EQ(1u, log.count(L"failed! error = 80."));
    }
    EXPECT_TRUE(utility::ufile::copyFile(small, copy, false));

    const std::wstring moved = temp.file(L"moved.bin");
    ASSERT_TRUE(testutil::writeFile(moved, "old"));
    {
        LogCapture log;
        EXPECT_FALSE(utility::ufile::moveFile(copy, moved, 0));
        EXPECT_EQ(1u, log.count(L"move file from ["));
    }
    EXPECT_TRUE(utility::ufile::moveFile(copy, moved, MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(testutil::fileExists(copy));
    EXPECT_EQ(std::string(1234, 'z'), testutil::readFile(moved));

    EXPECT_EQ(0, _wcsicmp(testutil::exeDir().c_str(), utility::ufile::getExeDir().c_str()));
}

TEST(AdditionsMappedFile, EmptyAndNonEmptyFiles)
{
    TempDir temp;
    const std::wstring empty = temp.file(L"empty.bin");
    const std::wstring text = temp.file(L"text.bin");
    ASSERT_TRUE(testutil::writeFile(empty, ""));
    ASSERT_TRUE(testutil::writeFile(text, "mapped bytes"));

    utility::MappedFile file;
    ASSERT_TRUE(file.open(empty));
    EXPECT_TRUE(file.isOpen());
    EXPECT_EQ(0u, file.size());
    EXPECT_EQ(nullptr, file.data());

    // Opening again replaces the previous file.
    ASSERT_TRUE(file.open(text));
    ASSERT_EQ(12u, file.size());
    ASSERT_NE(nullptr, file.data());
    EXPECT_EQ("mapped bytes", std::string(reinterpret_cast<const char*>(file.data()), file.size()));
    // Others may still read the file while it is mapped.
    EXPECT_EQ("mapped bytes", testutil::readFile(text));

    file.close();
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(0u, file.size());
    EXPECT_EQ(nullptr, file.data());
    // Closed means closed: the file can be deleted now.
    EXPECT_TRUE(DeleteFileW(text.c_str()));

    EXPECT_FALSE(file.open(temp.file(L"missing.bin")));
    EXPECT_FALSE(file.isOpen());
}

TEST(AdditionsFileHandle, CreateOpenAppendAndTruncate)
{
    TempDir temp;
    const std::wstring path = temp.file(L"download.tmp");
    utility::FileHandle file;
    EXPECT_FALSE(file.write("x", 1));  // nothing open
    EXPECT_FALSE(file.open(path, false));
    EXPECT_FALSE(testutil::fileExists(path));

    ASSERT_TRUE(file.open(path, true));
    EXPECT_TRUE(file.write("abc", 3));
    file.close();
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ("abc", testutil::readFile(path));

    // Resuming a download: open the existing file and append.
    ASSERT_TRUE(file.open(path, false));
    file.seekToEnd();
    EXPECT_TRUE(file.write("def", 3));
    EXPECT_TRUE(file.write(nullptr, 0));
    EXPECT_EQ("abcdef", testutil::readFile(path));  // shared for reading while open
    file.close();

    ASSERT_TRUE(file.create(path));
    EXPECT_EQ("", testutil::readFile(path));
    EXPECT_TRUE(file.write("new", 3));
    file.close();
    EXPECT_EQ("new", testutil::readFile(path));
}
