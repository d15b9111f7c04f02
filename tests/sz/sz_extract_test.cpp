// Extraction of well-formed archives made by 7zz: every coder chain, into a
// folder from memory and from a file, into memory, and from a resource.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "sz_test_support.h"

using sztest::RecordingCallback;

namespace {

class SzExtractMethodTest : public ::testing::TestWithParam<const wchar_t*> {};

// Each archive holds the same tree (text, x86-64 DLLs, empty files, an empty
// folder, nested and Unicode names), packed with a different chain: streamed
// (Copy, LZMA, LZMA2, BCJ) or buffered (BCJ2, Delta).
TEST_P(SzExtractMethodTest, RecreatesTheTreeByteForByte)
{
    const std::string archive = sztest::readFixture(GetParam());
    const sztest::Tree expected = sztest::readTree(sztest::fixture(L"src"));
    testutil::TempDir target;
    RecordingCallback callback;
    EXPECT_EQ(kSzOk, sztest::extractToDir(archive, target.path() + L"out", &callback));
    EXPECT_EQ("", sztest::diffTrees(expected, sztest::readTree(target.path() + L"out")));
    EXPECT_EQ(std::vector<int32_t>{kSzOk}, callback.results);
    EXPECT_TRUE(callback.progressInOrder);
    uint64_t fileBytes = 0;
    sztest::Tree files;  // non-empty files by archive name, for the in-memory run
    for (const auto& entry : expected) {
        if (entry.second != "<dir>" && !entry.second.empty()) {
            fileBytes += entry.second.size();
            std::wstring name = entry.first;
            for (wchar_t& c : name)
                c = c == L'\\' ? L'/' : c;
            files[name] = entry.second;
        }
    }
    EXPECT_EQ(fileBytes, callback.lastTotal);
    EXPECT_EQ(fileBytes, callback.lastDone);
    // Empty files are created without a progress report.
    EXPECT_EQ(0u, callback.progressNames.count(L"empty.bin"));

    RecordingCallback fromFile;
    EXPECT_EQ(kSzOk, SzExtractFileToDir(sztest::fixture(GetParam()), target.path() + L"file", &fromFile));
    EXPECT_EQ("", sztest::diffTrees(expected, sztest::readTree(target.path() + L"file")));
    EXPECT_EQ(std::vector<int32_t>{kSzOk}, fromFile.results);

    sztest::Tree items;
    EXPECT_EQ(kSzOk, sztest::extractInMemory(archive, &items));
    EXPECT_EQ("", sztest::diffTrees(files, items));
}

INSTANTIATE_TEST_SUITE_P(Chains, SzExtractMethodTest,
                         ::testing::Values(L"lzma.7z", L"lzma2.7z", L"copy.7z", L"nonsolid.7z", L"bcj.7z", L"bcj2.7z",
                                           L"delta.7z"));

TEST(SzExtract, FoldersOnlyAndReplacedFilesWithoutCallback)
{
    testutil::TempDir target;
    RecordingCallback callback;
    EXPECT_EQ(kSzOk, sztest::extractToDir(sztest::readFixture(L"dirs.7z"), target.path() + L"d", &callback));
    EXPECT_EQ("", sztest::diffTrees(sztest::readTree(sztest::fixture(L"src_dirs")),
                                    sztest::readTree(target.path() + L"d")));
    EXPECT_EQ(std::vector<int32_t>{kSzOk}, callback.results);
    EXPECT_EQ(0u, callback.progressCalls);

    // An existing longer file is replaced whole.
    ASSERT_TRUE(CreateDirectoryW(target.file(L"s").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(target.file(L"s\\one.txt"), std::string(100000, 'z')));
    EXPECT_EQ(kSzOk, sztest::extractToDir(sztest::readFixture(L"small.7z"), target.path() + L"s", nullptr));
    EXPECT_EQ("", sztest::diffTrees(sztest::readTree(sztest::fixture(L"src_small")),
                                    sztest::readTree(target.path() + L"s")));

    // Two items that are one file on Windows: the later replaces the earlier
    // whole, however many threads open files ahead.
    const std::string twice = sztest::readFixture(L"dup.7z");
    for (unsigned threads : {1u, 8u}) {
        testutil::TempDir dup;
        EXPECT_EQ(kSzOk, SzExtractToDir(twice.data(), static_cast<uint32_t>(twice.size()), dup.path(), nullptr,
                                        {threads, 1ull << 30}));
        EXPECT_EQ("short\n", testutil::readFile(dup.file(L"twice\\same.txt")));
    }
}

// Archives that carry no data: nothing at all (a bare start header), empty
// files without a folder, an item without a name. A clean result every way
// in: memory, file and in-memory extraction.
TEST(SzExtract, ArchivesWithoutDataGiveACleanResult)
{
    testutil::TempDir target;
    const std::string nothing = sztest::readFixture(L"nothing.7z");
    ASSERT_EQ(32u, nothing.size());
    RecordingCallback callback, fromFile;
    EXPECT_EQ(kSzOk, sztest::extractToDir(nothing, target.path() + L"n", &callback));
    EXPECT_EQ(kSzOk, SzExtractFileToDir(sztest::fixture(L"nothing.7z"), target.path() + L"f", &fromFile));
    EXPECT_EQ(std::vector<int32_t>{kSzOk}, callback.results);
    EXPECT_EQ(std::vector<int32_t>{kSzOk}, fromFile.results);
    EXPECT_EQ(0u, callback.progressCalls + fromFile.progressCalls);
    sztest::Tree items;
    EXPECT_EQ(kSzOk, sztest::extractInMemory(nothing, &items));
    EXPECT_TRUE(items.empty());
    EXPECT_TRUE(sztest::readTree(target.path()).empty());

    const std::string emptyFiles = sztest::readFixture(L"emptyfiles.7z");
    EXPECT_EQ(kSzOk, sztest::extractToDir(emptyFiles, target.path() + L"e", nullptr));
    EXPECT_EQ("", sztest::diffTrees(sztest::readTree(sztest::fixture(L"src_emptyfiles")),
                                    sztest::readTree(target.path() + L"e")));
    EXPECT_EQ(kSzOk, sztest::extractInMemory(emptyFiles, &items));
    EXPECT_TRUE(items.empty());

    // A nameless item cannot become a file: refused, nothing written.
    const std::string noName = sztest::readFixture(L"noname.7z");
    RecordingCallback refused;
    EXPECT_EQ(kSzErrorOpenFile, sztest::extractToDir(noName, target.path() + L"x", &refused));
    EXPECT_EQ(std::vector<int32_t>{kSzErrorOpenFile}, refused.results);
    EXPECT_TRUE(sztest::readTree(target.path() + L"x").empty());
    EXPECT_EQ(kSzOk, sztest::extractInMemory(noName, &items));
    EXPECT_EQ("an item without a name\n", items[L""]);
}

TEST(SzExtract, UnsupportedMethodsGive1003)
{
    for (const wchar_t* name : {L"ppmd.7z", L"password.7z", L"password_he.7z"}) {
        SCOPED_TRACE(testutil::narrow(name));
        const std::string archive = sztest::readFixture(name);
        testutil::TempDir target;
        RecordingCallback callback;
        EXPECT_EQ(kSzErrorUnsupported, sztest::extractToDir(archive, target.path(), &callback));
        EXPECT_EQ(std::vector<int32_t>{kSzErrorUnsupported}, callback.results);
        EXPECT_EQ(0u, callback.progressCalls);
        EXPECT_EQ(kSzErrorUnsupported, sztest::extractInMemory(archive));
    }
}

// The skin archive is compiled into this executable as resource 129 of type
// "ZIPRES", as the programs carry theirs.
TEST(SzExtract, ArchiveInAResource)
{
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(129), L"ZIPRES");
    ASSERT_NE(nullptr, info);
    const void* data = LockResource(LoadResource(nullptr, info));
    ASSERT_NE(nullptr, data);
    const std::string archive(static_cast<const char*>(data), SizeofResource(nullptr, info));
    const sztest::Tree expected = sztest::readTree(sztest::fixture(L"src_res"));

    sztest::Tree items;
    EXPECT_EQ(kSzOk, sztest::extractInMemory(archive, &items));
    EXPECT_EQ(2u, items.size());
    EXPECT_EQ(expected.at(L"img\\lines.txt"), items[L"img/lines.txt"]);

    testutil::TempDir target;
    EXPECT_EQ(kSzOk, SzExtractToDir(data, SizeofResource(nullptr, info), target.path() + L"skin\\", nullptr));
    EXPECT_EQ("", sztest::diffTrees(expected, sztest::readTree(target.path() + L"skin")));
}

}  // namespace
