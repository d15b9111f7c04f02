// Broken, hostile and unlucky extractions: corruption, truncation, bytes that
// are no archive, cancellation, unwritable targets, names that try to leave
// the target folder. Never a crash, onResult exactly once, and a result of 0
// only with a correct tree.
#include <gtest/gtest.h>

#include "7zTypes.h"
#include "common/test_util.h"
#include "foundation/sz/sz_extract.h"
#include "foundation/sz/sz_streams.h"
#include "sz_test_support.h"

using sztest::RecordingCallback;

namespace {

struct Outcome {
    SzResultCode code;
    RecordingCallback callback;
    sztest::Tree tree;
};

void extract(const std::string& archive, Outcome& outcome)
{
    testutil::TempDir target;
    outcome.code = SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(),
                                  &outcome.callback);
    outcome.tree = sztest::readTree(target.path());
}

SzResultCode extractInMemory(const std::string& archive, int* calls)
{
    return SzExtractInMemory(archive.data(), static_cast<uint32_t>(archive.size()),
                             [calls](const std::wstring&, const std::string&) { (*calls)++; });
}

// The packed data of a 7z archive starts right after its 32-byte start header.
const size_t kDataStart = 32;

TEST(SzFailure, FlippedByteInStoredFileDataIsACrcError)
{
    std::string archive = sztest::readFixture(L"copy.7z");
    ASSERT_GT(archive.size(), 5000u);
    archive[kDataStart + 1000] ^= 0x55;

    Outcome outcome;
    extract(archive, outcome);
    EXPECT_EQ(kSzErrorCrc, outcome.code);
    EXPECT_EQ(std::vector<int32_t>{kSzErrorCrc}, outcome.callback.results);

    int calls = 0;
    EXPECT_EQ(kSzErrorCrc, extractInMemory(archive, &calls));
}

TEST(SzFailure, FlippedBytesInCompressedDataNeverPassAsGood)
{
    const std::string original = sztest::readFixture(L"lzma2.7z");
    const sztest::Tree expected = sztest::readTree(sztest::fixture(L"src"));
    for (size_t offset : {kDataStart + 10, kDataStart + 5000, original.size() / 2, original.size() - 400}) {
        SCOPED_TRACE(offset);
        std::string archive = original;
        archive[offset] ^= 0x01;
        Outcome outcome;
        extract(archive, outcome);
        ASSERT_EQ(1u, outcome.callback.results.size());
        EXPECT_EQ(outcome.code, outcome.callback.results[0]);
        if (outcome.code == kSzOk) {
            EXPECT_EQ("", sztest::diffTrees(expected, outcome.tree));
        } else {
            EXPECT_TRUE(outcome.code >= 1000 && outcome.code <= 1014) << outcome.code;
        }
    }
}

// Every byte of a small archive flipped in turn (headers included).
TEST(SzFailure, SweepOfFlippedBytesNeverCrashesNorLies)
{
    const std::string original = sztest::readFixture(L"small.7z");
    const sztest::Tree expected = sztest::readTree(sztest::fixture(L"src_small"));
    ASSERT_FALSE(original.empty());
    int failures = 0;
    for (size_t offset = 0; offset < original.size(); offset += 7) {
        std::string archive = original;
        archive[offset] = static_cast<char>(archive[offset] ^ (0x80 >> (offset % 8)));
        Outcome outcome;
        extract(archive, outcome);
        ASSERT_EQ(1u, outcome.callback.results.size()) << offset;
        ASSERT_EQ(outcome.code, outcome.callback.results[0]) << offset;
        if (outcome.code == kSzOk) {
            EXPECT_EQ("", sztest::diffTrees(expected, outcome.tree)) << offset;
        } else {
            failures++;
        }
        int calls = 0;
        extractInMemory(archive, &calls);
    }
    EXPECT_GT(failures, 0);
}

TEST(SzFailure, TruncatedArchivesFailCleanly)
{
    const std::string original = sztest::readFixture(L"lzma2.7z");
    for (size_t size : {size_t(0), size_t(5), size_t(31), size_t(32), size_t(100), original.size() / 2,
                        original.size() - 100, original.size() - 1}) {
        SCOPED_TRACE(size);
        std::string archive = original.substr(0, size);
        Outcome outcome;
        extract(archive, outcome);
        EXPECT_NE(kSzOk, outcome.code);
        EXPECT_EQ(std::vector<int32_t>{outcome.code}, outcome.callback.results);

        int calls = 0;
        EXPECT_NE(kSzOk, extractInMemory(archive, &calls));

        testutil::TempDir dir;
        ASSERT_TRUE(testutil::writeFile(dir.file(L"cut.7z"), archive));
        RecordingCallback callback;
        EXPECT_NE(kSzOk, SzExtractFileToDir(dir.file(L"cut.7z"), dir.path() + L"out", &callback));
        EXPECT_EQ(1u, callback.results.size());
    }
}

TEST(SzFailure, BytesThatAreNoArchiveGive1014)
{
    std::string junk = "This is a text file, not a 7z archive. ";
    for (int i = 0; i < 6; i++) {
        junk += junk;
    }
    Outcome outcome;
    extract(junk, outcome);
    EXPECT_EQ(kSzErrorNoArchive, outcome.code);
    EXPECT_EQ(std::vector<int32_t>{kSzErrorNoArchive}, outcome.callback.results);
    EXPECT_TRUE(outcome.tree.empty());

    int calls = 0;
    EXPECT_EQ(kSzErrorNoArchive, extractInMemory(junk, &calls));
    EXPECT_EQ(0, calls);

    testutil::TempDir dir;
    ASSERT_TRUE(testutil::writeFile(dir.file(L"junk.7z"), junk));
    EXPECT_EQ(kSzErrorNoArchive, SzExtractFileToDir(dir.file(L"junk.7z"), dir.path() + L"out", nullptr));
}

TEST(SzFailure, MissingArchiveFileIsAReadError)
{
    testutil::TempDir dir;
    RecordingCallback callback;
    EXPECT_EQ(kSzErrorRead, SzExtractFileToDir(dir.file(L"absent.7z"), dir.path() + L"out", &callback));
    EXPECT_EQ(std::vector<int32_t>{kSzErrorRead}, callback.results);
}

TEST(SzFailure, CallbackStopGives1017)
{
    std::string archive = sztest::readFixture(L"lzma2.7z");
    for (int allowed : {0, 3}) {
        SCOPED_TRACE(allowed);
        testutil::TempDir target;
        RecordingCallback callback;
        callback.allowWrites = allowed;

        EXPECT_EQ(kSzErrorCancelled,
                  SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(), &callback));
        EXPECT_EQ(std::vector<int32_t>{kSzErrorCancelled}, callback.results);
        EXPECT_EQ(static_cast<uint64_t>(allowed), callback.progressCalls);
        EXPECT_EQ(allowed + 1, callback.asks);
    }
}

TEST(SzFailure, OutputFileThatCannotBeOpenedGives1015)
{
    std::string archive = sztest::readFixture(L"small.7z");
    testutil::TempDir target;
    ASSERT_TRUE(testutil::writeFile(target.file(L"one.txt"), "held"));
    HANDLE held = CreateFileW(target.file(L"one.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    RecordingCallback callback;

    SzResultCode code =
        SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(), &callback);
    CloseHandle(held);

    EXPECT_EQ(kSzErrorOpenFile, code);
    EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, callback.results);
    EXPECT_EQ("held", testutil::readFile(target.file(L"one.txt")));
}

TEST(SzFailure, EmptyTargetGives1015)
{
    std::string archive = sztest::readFixture(L"small.7z");
    RecordingCallback callback;

    EXPECT_EQ(kSzErrorOpenFile,
              SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), L"", &callback));
    EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, callback.results);
    EXPECT_EQ(0u, callback.progressCalls);
}

TEST(SzFailure, TargetThatIsAFileGives1015)
{
    std::string archive = sztest::readFixture(L"small.7z");
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::writeFile(dir.file(L"plain"), "a file, not a folder"));
    RecordingCallback callback;

    EXPECT_EQ(kSzErrorOpenFile, SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()),
                                               dir.file(L"plain"), &callback));
    EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, callback.results);
}

// Each name is 20 UTF-16 units, the length of the placeholder in hostile.7z.
TEST(SzFailure, HostileNamesWriteNothingOutsideTheTarget)
{
    const wchar_t* names[] = {
        L"..\\xxxxxxxxxxxxxxxxx", L"../xxxxxxxxxxxxxxxxx", L"a\\..\\..\\xxxxxxxxxxxx", L"a/../../xxxxxxxxxxxx",
        L"C:\\xxxxxxxxxxxxxxxxx", L"C:xxxxxxxxxxxxxxxxxx", L"\\xxxxxxxxxxxxxxxxxxx", L"/xxxxxxxxxxxxxxxxxxx",
        L"\\\\?\\C:\\xxxxxxxxxxxxx", L"xxxxxxxxxxxxxxxx:ads", L"dir\\CON.xxxxxxxxxxxx", L"dir\\..\\..\\..\\xxxxxxx",
    };
    for (const wchar_t* name : names) {
        SCOPED_TRACE(testutil::narrow(name));
        std::string archive = sztest::hostileArchive(name);
        ASSERT_FALSE(archive.empty());
        testutil::TempDir outer;
        std::wstring target = outer.path() + L"deep\\target";
        RecordingCallback callback;

        EXPECT_EQ(kSzErrorOpenFile,
                  SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target, &callback));
        EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, callback.results);
        EXPECT_EQ(0u, callback.progressCalls);

        // Nothing beside or above the target, nor at a drive root.
        sztest::Tree around = sztest::readTree(outer.path());
        for (const auto& entry : around) {
            EXPECT_EQ("<dir>", entry.second) << testutil::narrow(entry.first);
        }
        EXPECT_FALSE(testutil::fileExists(L"C:\\xxxxxxxxxxxxxxxxx"));
        EXPECT_FALSE(testutil::fileExists(L"C:\\xxxxxxxxxxxxxxxxxxx"));
        EXPECT_FALSE(testutil::fileExists(L"C:\\xxxxxxxxxxxxx"));
        wchar_t root[MAX_PATH];
        GetFullPathNameW(L"\\xxxxxxxxxxxxxxxxxxx", MAX_PATH, root, nullptr);
        EXPECT_FALSE(testutil::fileExists(root));

        // The in-memory extraction never touches the disk: it reports the name.
        std::wstring seen;
        int calls = 0;
        EXPECT_EQ(kSzOk, SzExtractInMemory(archive.data(), static_cast<uint32_t>(archive.size()),
                                           [&](const std::wstring& item, const std::string&) {
                                               seen = item;
                                               calls++;
                                           }));
        EXPECT_EQ(1, calls);
        EXPECT_EQ(std::wstring(name), seen);
    }
}

TEST(SzFailure, NameLongerThanTheNameAreaGives1015)
{
    std::string archive = sztest::readFixture(L"longname.7z");
    testutil::TempDir target;
    RecordingCallback callback;

    EXPECT_EQ(kSzErrorOpenFile,
              SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(), &callback));
    EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, callback.results);
    for (const auto& entry : sztest::readTree(target.path())) {
        EXPECT_EQ("<dir>", entry.second) << testutil::narrow(entry.first);
    }
}

TEST(SzFailure, MemoryStreamNeverSeeksOutsideItsBuffer)
{
    const char bytes[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    SzMemInStream stream(bytes, sizeof(bytes));
    ISeekInStream* in = &stream.vt;

    Int64 pos = -1;
    EXPECT_NE(SZ_OK, in->Seek(in, &pos, SZ_SEEK_SET));
    pos = 11;
    EXPECT_NE(SZ_OK, in->Seek(in, &pos, SZ_SEEK_SET));
    pos = -11;
    EXPECT_NE(SZ_OK, in->Seek(in, &pos, SZ_SEEK_END));
    pos = 1;
    EXPECT_NE(SZ_OK, in->Seek(in, &pos, SZ_SEEK_END));
    pos = INT64_MIN;
    EXPECT_NE(SZ_OK, in->Seek(in, &pos, SZ_SEEK_CUR));
    pos = INT64_MAX;
    EXPECT_NE(SZ_OK, in->Seek(in, &pos, SZ_SEEK_CUR));
    EXPECT_EQ(0u, stream.pos);

    pos = -3;
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

    pos = 10;
    EXPECT_EQ(SZ_OK, in->Seek(in, &pos, SZ_SEEK_SET));
    pos = -10;
    EXPECT_EQ(SZ_OK, in->Seek(in, &pos, SZ_SEEK_CUR));
    EXPECT_EQ(0, pos);
}

}  // namespace
