// Which archive item names may become paths below the target folder.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "foundation/sz/sz_item_path.h"

namespace {

TEST(SzItemPath, OrdinaryNamesBecomeBackslashedRelativePaths)
{
    const wchar_t* cases[][2] = {
        {L"dir/sub\\file.txt", L"dir\\sub\\file.txt"},
        {L"\u65e5\u672c\u8a9e/\u30d5\u30a1\u30a4\u30eb", L"\u65e5\u672c\u8a9e\\\u30d5\u30a1\u30a4\u30eb"},
        {L"..name", L"..name"},
        {L"a..b/.hidden", L"a..b\\.hidden"},
        {L"CONSOLE.txt", L"CONSOLE.txt"},
        {L"with space/ trailing", L"with space\\ trailing"},
    };
    for (const auto& c : cases) {
        std::wstring relative;
        EXPECT_TRUE(SzItemRelativePath(c[0], relative)) << testutil::narrow(c[0]);
        EXPECT_EQ(std::wstring(c[1]), relative);
    }
}

TEST(SzItemPath, NamesThatCouldLeaveTheFolderOrOpenADeviceAreRefused)
{
    const wchar_t* refused[] = {
        L"",
        L".",
        L"..",
        L". .",
        L"../x",
        L"a\\..\\..\\x",
        L"a/./b",
        L"a//b",
        L"dir/",
        L"\\x",
        L"/x",
        L"\\\\server\\share\\x",
        L"\\\\?\\C:\\x",
        L"C:\\x",
        L"C:x",
        L"file.txt:stream",
        L"con.txt",
        L"dir/LPT1",
        L"NUL ",
        L"CONOUT$",
        L"a\x01"
        L"b",
        L"a?b",
        L"a|b",
    };
    for (const wchar_t* name : refused) {
        std::wstring relative = L"stale";
        EXPECT_FALSE(SzItemRelativePath(name, relative)) << testutil::narrow(name);
        EXPECT_TRUE(relative.empty());
    }
    std::wstring relative;
    EXPECT_FALSE(SzItemRelativePath(nullptr, relative));
}

}  // namespace
