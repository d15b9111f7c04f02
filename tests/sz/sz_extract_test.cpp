// Extraction of well-formed archives made by 7zz: every coder chain, into a
// folder from memory and from a file, into memory, and from a resource.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "foundation/sz/sz_extract.h"
#include "sz_test_support.h"

using sztest::RecordingCallback;

namespace {

uint64_t fileBytes(const sztest::Tree& tree)
{
    uint64_t total = 0;
    for (const auto& entry : tree) {
        if (entry.second != "<dir>") {
            total += entry.second.size();
        }
    }
    return total;
}

class SzExtractMethodTest : public ::testing::TestWithParam<const wchar_t*> {};

// Each archive holds the same tree (text, x86-64 DLLs, empty files, an empty
// folder, nested and Unicode names), packed with a different chain.
TEST_P(SzExtractMethodTest, MemoryArchiveRecreatesTheTreeByteForByte)
{
    std::string archive = sztest::readFixture(GetParam());
    ASSERT_FALSE(archive.empty());
    testutil::TempDir target;
    RecordingCallback callback;

    SzResultCode code = SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()),
                                       target.path() + L"out", &callback);

    EXPECT_EQ(kSzOk, code);
    sztest::Tree expected = sztest::readTree(sztest::fixture(L"src"));
    EXPECT_EQ("", sztest::diffTrees(expected, sztest::readTree(target.path() + L"out")));
    ASSERT_EQ(1u, callback.results.size());
    EXPECT_EQ(kSzOk, callback.results[0]);
    EXPECT_TRUE(callback.progressInOrder);
    EXPECT_EQ(fileBytes(expected), callback.lastTotal);
    EXPECT_EQ(callback.lastTotal, callback.lastDone);
    // Empty files are created without a progress report.
    EXPECT_EQ(0u, callback.progressNames.count(L"empty.bin"));
    EXPECT_EQ(0u, callback.progressNames.count(L"nested/empty-too.txt"));
}

TEST_P(SzExtractMethodTest, ArchiveFileRecreatesTheTree)
{
    testutil::TempDir target;
    RecordingCallback callback;

    SzResultCode code = SzExtractFileToDir(sztest::fixture(GetParam()), target.path(), &callback);

    EXPECT_EQ(kSzOk, code);
    EXPECT_EQ("", sztest::diffTrees(sztest::readTree(sztest::fixture(L"src")), sztest::readTree(target.path())));
    EXPECT_EQ(std::vector<int32_t>{kSzOk}, callback.results);
}

TEST_P(SzExtractMethodTest, InMemoryHandsOverEveryNonEmptyFile)
{
    std::string archive = sztest::readFixture(GetParam());
    sztest::Tree items;
    int calls = 0;

    SzResultCode code = SzExtractInMemory(archive.data(), static_cast<uint32_t>(archive.size()),
                                          [&](const std::wstring& name, const std::string& bytes) {
                                              std::wstring path = name;
                                              for (wchar_t& c : path) {
                                                  if (c == L'/') c = L'\\';
                                              }
                                              items[path] = bytes;
                                              calls++;
                                          });

    EXPECT_EQ(kSzOk, code);
    sztest::Tree expected;
    for (const auto& entry : sztest::readTree(sztest::fixture(L"src"))) {
        if (entry.second != "<dir>" && !entry.second.empty()) {
            expected.insert(entry);
        }
    }
    EXPECT_EQ("", sztest::diffTrees(expected, items));
    EXPECT_EQ(static_cast<int>(expected.size()), calls);
}

INSTANTIATE_TEST_SUITE_P(Chains, SzExtractMethodTest,
                         ::testing::Values(L"lzma.7z", L"lzma2.7z", L"copy.7z", L"nonsolid.7z", L"bcj.7z",
                                           L"bcj2.7z", L"delta.7z", L"arm64.7z"));

TEST(SzExtract, FoldersOnlyArchiveCreatesEveryFolder)
{
    std::string archive = sztest::readFixture(L"dirs.7z");
    testutil::TempDir target;
    RecordingCallback callback;

    EXPECT_EQ(kSzOk, SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(), &callback));

    EXPECT_EQ("", sztest::diffTrees(sztest::readTree(sztest::fixture(L"src_dirs")), sztest::readTree(target.path())));
    EXPECT_TRUE(testutil::dirExists(target.path() + L"a\\b\\c"));
    EXPECT_EQ(std::vector<int32_t>{kSzOk}, callback.results);
    EXPECT_EQ(0u, callback.progressCalls);
}

TEST(SzExtract, ExistingFilesAreReplacedAndNoCallbackIsNeeded)
{
    std::string archive = sztest::readFixture(L"small.7z");
    testutil::TempDir target;
    ASSERT_TRUE(testutil::writeFile(target.file(L"one.txt"), std::string(100000, 'z')));

    EXPECT_EQ(kSzOk, SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(), nullptr));

    EXPECT_EQ("", sztest::diffTrees(sztest::readTree(sztest::fixture(L"src_small")), sztest::readTree(target.path())));
}

TEST(SzExtract, UnsupportedMethodsGive1003)
{
    for (const wchar_t* name : {L"ppmd.7z", L"password.7z", L"password_he.7z"}) {
        SCOPED_TRACE(testutil::narrow(name));
        std::string archive = sztest::readFixture(name);
        testutil::TempDir target;
        RecordingCallback callback;

        EXPECT_EQ(kSzErrorUnsupported,
                  SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(), &callback));
        EXPECT_EQ(std::vector<int32_t>{kSzErrorUnsupported}, callback.results);
        EXPECT_EQ(0u, callback.progressCalls);
        EXPECT_EQ(kSzErrorUnsupported, SzExtractInMemory(archive.data(), static_cast<uint32_t>(archive.size()),
                                                         [](const std::wstring&, const std::string&) {}));
    }
}

// The skin archive is compiled into this executable as resource 129 of type
// "ZIPRES", as the programs carry theirs.
TEST(SzExtract, ArchiveInAResource)
{
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(129), L"ZIPRES");
    ASSERT_NE(nullptr, info);
    HGLOBAL loaded = LoadResource(nullptr, info);
    ASSERT_NE(nullptr, loaded);
    const void* data = LockResource(loaded);
    DWORD size = SizeofResource(nullptr, info);
    ASSERT_NE(nullptr, data);

    std::map<std::wstring, std::string> items;
    EXPECT_EQ(kSzOk, SzExtractInMemory(data, size, [&](const std::wstring& name, const std::string& bytes) {
                  items[name] = bytes;
              }));
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(sztest::readTree(sztest::fixture(L"src_res"))[L"main.xml"], items[L"main.xml"]);
    EXPECT_EQ(sztest::readTree(sztest::fixture(L"src_res"))[L"img\\lines.txt"], items[L"img/lines.txt"]);

    testutil::TempDir target;
    EXPECT_EQ(kSzOk, SzExtractToDir(data, size, target.path() + L"skin\\", nullptr));
    EXPECT_EQ("", sztest::diffTrees(sztest::readTree(sztest::fixture(L"src_res")),
                                    sztest::readTree(target.path() + L"skin")));
}

TEST(SzExtract, ResultCodesFollowTheSdkResults)
{
    const int expected[][2] = {{0, 0},       {1, 1001},  {2, 1002},  {3, 1005},  {4, 1003},  {5, 1004},
                               {6, 1006},    {7, 1007},  {8, 1008},  {9, 1009},  {10, 1010}, {11, 1011},
                               {12, 1012},   {13, 1000}, {14, 1000}, {15, 1000}, {16, 1013}, {17, 1014},
                               {18, 1000},   {-1, 1000}};
    for (const auto& pair : expected) {
        EXPECT_EQ(pair[1], SzResultToCode(pair[0])) << "SDK result " << pair[0];
    }
}

}  // namespace
