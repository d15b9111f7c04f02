// The skin archive: resource 129 of type "ZIPRES" in this test executable is
// a 7z archive made at build time from tests/skinui/resources_zipres. Skin
// files come from the resource path on disk first, then from the archive.
#include <gtest/gtest.h>

#include <string>

#include "common/test_util.h"
#include "skinui/core/ui_manager.h"

using namespace SkinUI;

namespace {

std::string SkinData(const std::wstring& name)
{
    DWORD size = 12345;
    LPBYTE data = CUiManager::LoadSkinData(name.c_str(), size);
    if (data == nullptr) {
        EXPECT_EQ(0u, size);
        return std::string();
    }
    std::string bytes(reinterpret_cast<const char*>(data), size);
    delete[] data;
    return bytes;
}

const char kPanel[] = "<Panel name=\"inner\" />\n";

class SkinArchiveTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CUiManager::SetInstance(::GetModuleHandleW(nullptr));
        CUiManager::SetLanguage(L"de_DE", L"en_US");
        CUiManager::SetResourcePath(L"C:\\no\\such\\skin\\folder");
        CUiManager::LoadZipResource(129, L"multi_language.tsv");
    }
    void TearDown() override { CUiManager::SetResourcePath(L"C:\\no\\such\\skin\\folder"); }
};

TEST_F(SkinArchiveTest, FilesAndTheLanguageTableComeFromTheArchive)
{
    EXPECT_TRUE(CUiManager::GetResourcePath().IsEmpty());
    std::string main = SkinData(L"skin/main.xml");
    EXPECT_NE(std::string::npos, main.find("<Window size=\"400,300\""));
    EXPECT_EQ(main, SkinData(L"skin\\main.xml"));
    EXPECT_EQ(kPanel, SkinData(L"skin\\sub\\panel.xml"));
    EXPECT_EQ("", SkinData(L"skin/absent.xml"));
    EXPECT_EQ("", SkinData(L"main.xml"));

    EXPECT_STREQ(L"Hallo", CUiManager::GetLanguageText(L"hello"));
    EXPECT_EQ(3, CUiManager::GetLanguageCount());
    EXPECT_STREQ(L"\x4E2D\x6587", CUiManager::GetLanguageEntry(1, true));
    EXPECT_EQ(nullptr, CUiManager::GetLanguageEntry(3));
}

TEST_F(SkinArchiveTest, DiskFilesUnderTheResourcePathComeFirst)
{
    testutil::TempDir dir;
    ::CreateDirectoryW(dir.file(L"skin").c_str(), nullptr);
    ASSERT_TRUE(testutil::writeFile(dir.file(L"skin\\main.xml"), "<Window from=\"disk\"/>"));
    std::wstring path = dir.path().substr(0, dir.path().size() - 1);  // without the trailing backslash
    CUiManager::SetResourcePath(path.c_str());
    EXPECT_STREQ((path + L"\\").c_str(), CUiManager::GetResourcePath());
    EXPECT_EQ("<Window from=\"disk\"/>", SkinData(L"skin\\main.xml"));
    EXPECT_EQ(kPanel, SkinData(L"skin/sub/panel.xml"));                           // not on disk: the archive copy
    EXPECT_EQ("<Window from=\"disk\"/>", SkinData(dir.file(L"skin\\main.xml")));  // an absolute name as it is
    // An empty disk file is not used, nor one above 64 MiB (never read).
    ASSERT_TRUE(testutil::writeFile(dir.file(L"skin\\main.xml"), ""));
    EXPECT_NE(std::string::npos, SkinData(L"skin\\main.xml").find("400,300"));
    HANDLE huge = ::CreateFileW(dir.file(L"skin\\main.xml").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                nullptr);
    LARGE_INTEGER end;
    end.QuadPart = 64 * 1024 * 1024 + 1;
    ASSERT_TRUE(::SetFilePointerEx(huge, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(huge));
    ::CloseHandle(huge);
    EXPECT_NE(std::string::npos, SkinData(L"skin\\main.xml").find("400,300"));
}

TEST_F(SkinArchiveTest, LanguageFileBesideTheExecutableOverridesTheArchive)
{
    const std::wstring beside = testutil::exeDir() + L"multi_language.tsv";
    ASSERT_TRUE(testutil::writeFile(beside, " \tlanguage_code\ten_US\tde_DE\n \tlanguage_name\tEnglish\tDeutsch\n"
                                            "Window\thello\tHello\tServus\n"));
    CUiManager::LoadLanguageFile(L"multi_language.tsv");
    EXPECT_STREQ(L"Servus", CUiManager::GetLanguageText(L"hello"));
    EXPECT_EQ(nullptr, CUiManager::GetLanguageText(L"ok"));

    // A file beside the executable larger than 4 MiB is ignored; the archive is not tried.
    ASSERT_TRUE(testutil::writeFile(beside, std::string(4 * 1024 * 1024 + 1, ' ')));
    CUiManager::LoadLanguageFile(L"multi_language.tsv");
    EXPECT_STREQ(L"Servus", CUiManager::GetLanguageText(L"hello"));
    ::DeleteFileW(beside.c_str());
    CUiManager::LoadLanguageFile(L"multi_language.tsv");
    EXPECT_STREQ(L"Hallo", CUiManager::GetLanguageText(L"hello"));
}

TEST_F(SkinArchiveTest, MissingOrBrokenResourcesLeaveTheArchiveAsItWas)
{
    CUiManager::LoadZipResource(4711, nullptr);
    // A truncated archive (a 7z signature and nothing usable) adds nothing and breaks nothing.
    CUiManager::LoadZipResource(130, nullptr);
    EXPECT_NE("", SkinData(L"skin/main.xml"));
    EXPECT_STREQ(L"Hallo", CUiManager::GetLanguageText(L"hello"));
}

}  // namespace
