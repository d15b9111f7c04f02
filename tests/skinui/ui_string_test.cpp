#include <gtest/gtest.h>

#include <string>

#include "skinui/core/ui_string.h"

using SkinUI::CUiString;

namespace {

std::wstring Units(wchar_t ch, int count) { return std::wstring(static_cast<size_t>(count), ch); }

}  // namespace

TEST(CUiStringTest, InlineBufferHoldsUpTo62UnitsAndHeapBlocksAreReused)
{
    CUiString s(Units(L'x', 62));
    EXPECT_FALSE(s.IsOnHeap());
    s = Units(L'y', 63).c_str();
    EXPECT_TRUE(s.IsOnHeap());
    EXPECT_EQ(Units(L'y', 63), s.GetData());
    s = L"short";
    EXPECT_FALSE(s.IsOnHeap());

    CUiString big(Units(L'a', 100));
    const wchar_t* block = big.GetData();
    big = Units(L'b', 70).c_str();  // a shorter long text keeps the block
    EXPECT_EQ(block, big.GetData());
    big.Empty();
    EXPECT_FALSE(big.IsOnHeap());

    CUiString grow(Units(L'a', 60));
    grow += Units(L'b', 10).c_str();  // appending across the threshold keeps the old text
    EXPECT_TRUE(grow.IsOnHeap());
    EXPECT_EQ(Units(L'a', 60) + Units(L'b', 10), grow.GetData());
    grow.Append(nullptr);
    EXPECT_EQ(70, grow.GetLength());
}

TEST(CUiStringTest, AppendingOrAssigningItselfOrAPieceOfItself)
{
    CUiString s(L"abc");
    s += s;
    EXPECT_STREQ(L"abcabc", s);
    CUiString big(Units(L'q', 40));
    big += big;  // crosses to the heap while reading itself
    EXPECT_EQ(Units(L'q', 80), big.GetData());
    big += big.GetData() + 70;  // a piece of its own heap block
    EXPECT_EQ(Units(L'q', 90), big.GetData());

    CUiString t(Units(L'r', 50) + L"tail");
    t.Assign(t.GetData() + 50);  // heap source, inline result
    EXPECT_STREQ(L"tail", t);
    t = t;
    EXPECT_STREQ(L"tail", t);
    CUiString u(Units(L'k', 80) + L"end");
    u.Assign(u.GetData() + 5, 78);
    EXPECT_EQ(Units(L'k', 75) + L"end", u.GetData());
}

TEST(CUiStringTest, CompareIsOrdinalAndRangesAreClamped)
{
    CUiString s(L"abc");
    EXPECT_EQ(1, s.Compare(L"ABC"));
    EXPECT_EQ(-1, s.Compare(L"\x00e9"));  // above 0x7F
    EXPECT_EQ(0, s.CompareNoCase(L"ABC"));

    s = L"abcdef";
    EXPECT_STREQ(L"cdef", s.Mid(2, -1));
    EXPECT_STREQ(L"f", s.Mid(5, 4));
    EXPECT_STREQ(L"ab", s.Mid(-3, 2));  // a negative position counts as 0
    EXPECT_STREQ(L"", s.Mid(100));
    EXPECT_STREQ(L"", s.Left(-1));
    EXPECT_STREQ(L"abcdef", s.Left(99));
}

TEST(CUiStringTest, FindStartRules)
{
    CUiString s(L"abcabc");
    EXPECT_EQ(3, s.Find(L'a', 1));
    EXPECT_EQ(-1, s.Find(L'a', 6));  // start at the length
    EXPECT_EQ(-1, s.Find(L'a', -1));
    EXPECT_EQ(-1, CUiString().Find(L'a'));
    EXPECT_EQ(4, s.Find(L"bc", 2));
    EXPECT_EQ(-1, s.Find(L"bc", 6));
    EXPECT_EQ(6, s.Find(L"", 6));
    EXPECT_EQ(-1, s.Find(L"bc", 7));
    EXPECT_EQ(-1, s.Find(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(5, s.ReverseFind(L'c'));
}

TEST(CUiStringTest, ReplaceEdgeCases)
{
    CUiString s(L"aaa");
    EXPECT_EQ(3, s.Replace(L"a", L"aa"));
    EXPECT_STREQ(L"aaaaaa", s);

    s = L"one two one";
    EXPECT_EQ(2, s.Replace(L"one", L""));
    EXPECT_STREQ(L" two ", s);
    EXPECT_EQ(0, s.Replace(L"", L"x"));  // an empty search text changes nothing
    EXPECT_EQ(0, s.Replace(nullptr, L"x"));
    EXPECT_EQ(2, s.Replace(L" ", nullptr));
    EXPECT_STREQ(L"two", s);

    CUiString self(L"abc");
    EXPECT_EQ(1, self.Replace(self, L"[abc]"));
    EXPECT_STREQ(L"[abc]", self);
    CUiString grow(Units(L'x', 40));
    EXPECT_EQ(40, grow.Replace(L"x", L"yz"));
    EXPECT_EQ(80, grow.GetLength());
}

TEST(CUiStringTest, FormatShortIsBounded)
{
    CUiString s;
    EXPECT_EQ(10, s.FormatShort(L"%4d-%02d-%02d", 2024, 3, 7));
    EXPECT_STREQ(L"2024-03-07", s);
    const std::wstring longText = Units(L'w', 200);
    const int written = s.FormatShort(L"%s", longText.c_str());
    EXPECT_LE(written, 63);
    EXPECT_EQ(written, s.GetLength());
    EXPECT_EQ(longText.substr(0, written), s.GetData());
}
