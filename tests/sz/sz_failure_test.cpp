// Broken, hostile and unlucky extractions: corruption, truncation, bytes that
// are no archive, cancellation, unwritable targets, names that try to leave
// the target folder. Never a crash, onResult exactly once, and a result of 0
// only with a correct tree.
#include <gtest/gtest.h>

#include <thread>

#include "7zTypes.h"
#include "common/test_util.h"
#include "foundation/sz/sz_streams.h"
#include "sz_test_support.h"

using sztest::RecordingCallback;

namespace {

// Extracts a damaged archive into a fresh folder and from memory: one
// onResult carrying the returned code, and 0 only with the expected tree.
SzResultCode extractDamaged(const std::string& archive, const sztest::Tree& expected)
{
    testutil::TempDir target;
    RecordingCallback callback;
    const SzResultCode code = sztest::extractToDir(archive, target.path(), &callback);
    EXPECT_EQ(std::vector<int32_t>{code}, callback.results);
    if (code == kSzOk) {
        EXPECT_EQ("", sztest::diffTrees(expected, sztest::readTree(target.path())));
    }
    sztest::extractInMemory(archive);
    return code;
}

// The packed data of a 7z archive starts right after its 32-byte start header.
const size_t kDataStart = 32;

TEST(SzFailure, FlippedBytesNeverPassAsGood)
{
    std::string archive = sztest::readFixture(L"copy.7z");
    ASSERT_GT(archive.size(), 5000u);
    archive[kDataStart + 1000] ^= 0x55;  // stored file data: its CRC fails
    EXPECT_EQ(kSzErrorCrc, extractDamaged(archive, sztest::Tree()));
    EXPECT_EQ(kSzErrorCrc, sztest::extractInMemory(archive));

    const std::string lzma2 = sztest::readFixture(L"lzma2.7z");
    const sztest::Tree src = sztest::readTree(sztest::fixture(L"src"));
    for (size_t offset : {kDataStart + 10, kDataStart + 5000, lzma2.size() / 2, lzma2.size() - 400}) {
        SCOPED_TRACE(offset);
        archive = lzma2;
        archive[offset] ^= 0x01;
        const SzResultCode code = extractDamaged(archive, src);
        EXPECT_TRUE(code == kSzOk || (code >= 1000 && code <= 1014)) << code;
    }

    // Every 7th byte of a small archive, headers included.
    const std::string small = sztest::readFixture(L"small.7z");
    const sztest::Tree smallSrc = sztest::readTree(sztest::fixture(L"src_small"));
    int failures = 0;
    for (size_t offset = 0; offset < small.size(); offset += 7) {
        SCOPED_TRACE(offset);
        archive = small;
        archive[offset] = static_cast<char>(archive[offset] ^ (0x80 >> (offset % 8)));
        failures += extractDamaged(archive, smallSrc) != kSzOk ? 1 : 0;
    }
    EXPECT_GT(failures, 0);
}

TEST(SzFailure, TruncatedMissingAndNonArchiveInputFailCleanly)
{
    const std::string original = sztest::readFixture(L"lzma2.7z");
    testutil::TempDir dir;
    for (size_t size : {size_t(0), size_t(31), size_t(32), size_t(100), original.size() / 2, original.size() - 1}) {
        SCOPED_TRACE(size);
        const std::string archive = original.substr(0, size);
        EXPECT_NE(kSzOk, extractDamaged(archive, sztest::Tree()));
        EXPECT_NE(kSzOk, sztest::extractInMemory(archive));
        ASSERT_TRUE(testutil::writeFile(dir.file(L"cut.7z"), archive));
        RecordingCallback callback;
        EXPECT_NE(kSzOk, SzExtractFileToDir(dir.file(L"cut.7z"), dir.path() + L"out", &callback));
        EXPECT_EQ(1u, callback.results.size());
    }

    std::string junk = "This is a text file, not a 7z archive. ";
    for (int i = 0; i < 6; i++)
        junk += junk;
    EXPECT_EQ(kSzErrorNoArchive, extractDamaged(junk, sztest::Tree()));
    sztest::Tree items;
    EXPECT_EQ(kSzErrorNoArchive, sztest::extractInMemory(junk, &items));
    EXPECT_TRUE(items.empty());
    ASSERT_TRUE(testutil::writeFile(dir.file(L"junk.7z"), junk));
    EXPECT_EQ(kSzErrorNoArchive, SzExtractFileToDir(dir.file(L"junk.7z"), dir.path() + L"out", nullptr));

    RecordingCallback callback;
    EXPECT_EQ(kSzErrorRead, SzExtractFileToDir(dir.file(L"absent.7z"), dir.path() + L"out", &callback));
    EXPECT_EQ(std::vector<int32_t>{kSzErrorRead}, callback.results);
}

TEST(SzFailure, CallbackStopGives1017)
{
    const std::string archive = sztest::readFixture(L"lzma2.7z");
    for (int allowed : {0, 3}) {
        SCOPED_TRACE(allowed);
        testutil::TempDir target;
        RecordingCallback callback;
        callback.allowWrites = allowed;
        EXPECT_EQ(kSzErrorCancelled, sztest::extractToDir(archive, target.path(), &callback));
        EXPECT_EQ(std::vector<int32_t>{kSzErrorCancelled}, callback.results);
        EXPECT_EQ(static_cast<uint64_t>(allowed), callback.progressCalls);
        EXPECT_GE(callback.asks, allowed + 1);
    }
}

TEST(SzFailure, UnwritableTargetsGive1015)
{
    const std::string archive = sztest::readFixture(L"small.7z");
    testutil::TempDir target;
    ASSERT_TRUE(testutil::writeFile(target.file(L"one.txt"), "held"));
    ASSERT_TRUE(testutil::writeFile(target.file(L"plain"), "a file, not a folder"));
    HANDLE held = CreateFileW(target.file(L"one.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    for (const std::wstring& folder : {target.path(), std::wstring(), target.file(L"plain")}) {
        SCOPED_TRACE(testutil::narrow(folder));
        RecordingCallback callback;
        EXPECT_EQ(kSzErrorOpenFile, sztest::extractToDir(archive, folder, &callback));
        EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, callback.results);
    }
    CloseHandle(held);
    EXPECT_EQ("held", testutil::readFile(target.file(L"one.txt")));

    // Held for a moment only (a program that is ending): written once let go.
    for (unsigned threads : {1u, 8u}) {
        held = CreateFileW(target.file(L"one.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        std::thread letGo([held] {
            Sleep(300);
            CloseHandle(held);
        });
        EXPECT_EQ(kSzOk, SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(), nullptr,
                                        {threads, 1ull << 30}));
        letGo.join();
        EXPECT_EQ(testutil::readFile(sztest::fixture(L"src_small\\one.txt")),
                  testutil::readFile(target.file(L"one.txt")));
        ASSERT_TRUE(testutil::writeFile(target.file(L"one.txt"), "held"));
    }
}

// Each name is 20 UTF-16 units, the length of the placeholder in hostile.7z.
TEST(SzFailure, HostileNamesWriteNothingOutsideTheTarget)
{
    for (const wchar_t* name : {L"..\\xxxxxxxxxxxxxxxxx", L"a/../../xxxxxxxxxxxx", L"C:\\xxxxxxxxxxxxxxxxx",
                                L"C:xxxxxxxxxxxxxxxxxx", L"\\xxxxxxxxxxxxxxxxxxx", L"xxxxxxxxxxxxxxxx:ads"}) {
        SCOPED_TRACE(testutil::narrow(name));
        const std::string archive = sztest::hostileArchive(name);
        ASSERT_FALSE(archive.empty());
        testutil::TempDir outer;
        RecordingCallback callback;
        EXPECT_EQ(kSzErrorOpenFile, sztest::extractToDir(archive, outer.path() + L"deep\\target", &callback));
        EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, callback.results);
        EXPECT_EQ(0u, callback.progressCalls);
        // Nothing beside or above the target, nor at a drive root.
        for (const auto& entry : sztest::readTree(outer.path()))
            EXPECT_EQ("<dir>", entry.second) << testutil::narrow(entry.first);
        wchar_t root[MAX_PATH];
        GetFullPathNameW(L"\\xxxxxxxxxxxxxxxxxxx", MAX_PATH, root, nullptr);
        EXPECT_FALSE(testutil::fileExists(root));
        EXPECT_FALSE(testutil::fileExists(L"C:\\xxxxxxxxxxxxxxxxx"));

        // The in-memory extraction never touches the disk: it reports the name.
        sztest::Tree items;
        EXPECT_EQ(kSzOk, sztest::extractInMemory(archive, &items));
        EXPECT_EQ(1u, items.count(name));
    }

    // A name longer than the 260-unit name area.
    testutil::TempDir target;
    RecordingCallback callback;
    EXPECT_EQ(kSzErrorOpenFile, sztest::extractToDir(sztest::readFixture(L"longname.7z"), target.path(), &callback));
    EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, callback.results);
    for (const auto& entry : sztest::readTree(target.path()))
        EXPECT_EQ("<dir>", entry.second) << testutil::narrow(entry.first);
}

TEST(SzFailure, MemoryStreamNeverSeeksOutsideItsBuffer)
{
    const char bytes[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    SzMemInStream stream(bytes, sizeof(bytes));
    ISeekInStream* in = &stream.vt;
    const std::pair<Int64, ESzSeek> refused[] = {{-1, SZ_SEEK_SET}, {11, SZ_SEEK_SET},        {-11, SZ_SEEK_END},
                                                 {1, SZ_SEEK_END},  {INT64_MIN, SZ_SEEK_CUR}, {INT64_MAX, SZ_SEEK_CUR}};
    for (const auto& seek : refused) {
        Int64 pos = seek.first;
        EXPECT_NE(SZ_OK, in->Seek(in, &pos, seek.second)) << seek.first;
    }
    EXPECT_EQ(0u, stream.pos);

    Int64 pos = -3;
    ASSERT_EQ(SZ_OK, in->Seek(in, &pos, SZ_SEEK_END));
    EXPECT_EQ(7, pos);
    char buf[8] = {};
    size_t size = sizeof(buf);
    ASSERT_EQ(SZ_OK, in->Read(in, buf, &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(9, buf[2]);
    size = sizeof(buf);
    ASSERT_EQ(SZ_OK, in->Read(in, buf, &size));
    EXPECT_EQ(0u, size);
}

}  // namespace
