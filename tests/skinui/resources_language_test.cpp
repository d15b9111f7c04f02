// The language table: row and cell splitting, the language column, the "@key"
// rule, long cells, and GetLanguageTextA's own-key fallback.
#include <gtest/gtest.h>

#include <string>

#include "skinui/core/language_table.h"
#include "skinui/core/ui_manager.h"

using namespace SkinUI;

namespace {

const char kTable[] = " \tlanguage_code\ten_US\tzh_CN\tfr_FR\r\n"
                      " \tlanguage_name\tEnglish\tChinese\tFrancais\r\n"
                      "Window\ttitle\tTitle\t\xe6\xa0\x87\xe9\xa2\x98\tTitre\r\n"
                      "\r\n"
                      "Button\tshort\tOnly English\r\n"
                      "Label\tempty\t\tvide\tvide\n"
                      "\tshifted\tA\tB\tC\r\n"
                      "Label\ttitle\tTitle again\tT2\tTitre encore\r";

void LoadTable(const wchar_t* language, const std::string& table)
{
    CUiManager::SetLanguage(language, L"en_US");
    CUiManager::LoadLanguageTable(reinterpret_cast<const BYTE*>(table.data()), static_cast<DWORD>(table.size()));
}

std::wstring Processed(const wchar_t* text)
{
    CUiString s(text);
    CUiManager::ProcessLanguageText(s);
    return s.GetData();
}

TEST(LanguageTableTest, RowsCellsAndTheChosenColumn)
{
    LoadTable(L"zh_CN", kTable);
    EXPECT_STREQ(L"T2", CUiManager::GetLanguageText(L"title"));  // a later row wins
    EXPECT_EQ(nullptr, CUiManager::GetLanguageText(L"short"));   // too few cells for the column
    EXPECT_STREQ(L"vide", CUiManager::GetLanguageText(L"empty"));
    // The row whose first cell is empty lost that cell: its key is "A".
    EXPECT_EQ(nullptr, CUiManager::GetLanguageText(L"shifted"));
    EXPECT_STREQ(L"C", CUiManager::GetLanguageText(L"A"));

    // An unknown code falls back to the first language.
    LoadTable(L"xx_XX", kTable);
    EXPECT_STREQ(L"Title again", CUiManager::GetLanguageText(L"title"));
    EXPECT_STREQ(L"", CUiManager::GetLanguageText(L"empty"));
    EXPECT_EQ(3, CUiManager::GetLanguageCount());

    const char text[] = "\n\r\ta\tb\r\n\r\nc\t\td\n\nend\0after";
    std::vector<CUiStringRow> rows = SplitLanguageTable(reinterpret_cast<const BYTE*>(text),
                                                        static_cast<DWORD>(sizeof(text) - 1));
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ(2u, rows[0].size());
    ASSERT_EQ(3u, rows[1].size());
    EXPECT_STREQ(L"", rows[1][1]);
    EXPECT_STREQ(L"end", rows[2][0]);  // the NUL ends the text
}

TEST(LanguageTableTest, LongCellsAreKeptAndUnusableTablesLoadNoKeys)
{
    LoadTable(L"en_US", " \tlanguage_code\ten_US\r\n \tlanguage_name\tEnglish\r\nLabel\tlong\t" +
                            std::string(3000, 'x') + "\r\n");
    ASSERT_NE(nullptr, CUiManager::GetLanguageText(L"long"));
    EXPECT_EQ(3000u, wcslen(CUiManager::GetLanguageText(L"long")));

    // An unusable table loads none of its keys and drops the earlier table's.
    LoadTable(L"en_US", " \tlanguage_code\ten_US\r\n \tnames\tEnglish\r\nLabel\tkey1\tvalue\r\n");
    EXPECT_EQ(nullptr, CUiManager::GetLanguageText(L"key1"));
    EXPECT_EQ(nullptr, CUiManager::GetLanguageText(L"long"));
    // Bytes that are not UTF-8 still load without harm.
    LoadTable(L"en_US", std::string(" \tlanguage_code\ten_US\n \tlanguage_name\tEnglish\nL\tbad\t\xff\xfe\xc3\n", 56));
    EXPECT_NE(nullptr, CUiManager::GetLanguageText(L"bad"));
}

TEST(LanguageTableTest, AtKeysAreReplacedOnlyWhenKnown)
{
    LoadTable(L"en_US", kTable);
    EXPECT_EQ(L"Title again", Processed(L"@title"));
    EXPECT_EQ(L"@", Processed(L"@"));
    EXPECT_EQ(L"@nokey", Processed(L"@nokey"));
    EXPECT_EQ(L"title", Processed(L"title"));
    // A missing key comes back as itself and is stored.
    EXPECT_STREQ(L"font_name", CUiManager::GetLanguageTextA("font_name"));
    EXPECT_STREQ(L"font_name", CUiManager::GetLanguageText(L"font_name"));
}

}  // namespace
