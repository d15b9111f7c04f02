#include <gtest/gtest.h>

#include <string>

#include "skinui/core/ui_string.h"

using SkinUI::CUiString;

namespace {

std::wstring Units(wchar_t ch, int count) {
    return std::wstring(static_cast<size_t>(count), ch);
}

}  // namespace

TEST(CUiStringTest, InlineThresholdIs63Units) {
    CUiString s(Units(L'x', 62));
    EXPECT_FALSE(s.IsOnHeap());
    EXPECT_EQ(62, s.GetLength());

    s = Units(L'y', 63).c_str();
    EXPECT_TRUE(s.IsOnHeap());
    EXPECT_EQ(63, s.GetLength());
    EXPECT_EQ(Units(L'y', 63), s.GetData());

    s = L"ten units!";
    EXPECT_FALSE(s.IsOnHeap());
    EXPECT_STREQ(L"ten units!", s);

    CUiString c(Units(L'z', 64));
    EXPECT_TRUE(c.IsOnHeap());
    c.Empty();
    EXPECT_FALSE(c.IsOnHeap());
    EXPECT_TRUE(c.IsEmpty());
}

TEST(CUiStringTest, ShorterLongTextReusesHeapBlock) {
    CUiString s(Units(L'a', 100));
    const wchar_t* block = s.GetData();
    s = Units(L'b', 70).c_str();
    EXPECT_EQ(block, s.GetData());
    EXPECT_EQ(Units(L'b', 70), s.GetData());
}

TEST(CUiStringTest, AppendAcrossThresholdKeepsOldText) {
    CUiString s(Units(L'a', 60));
    EXPECT_FALSE(s.IsOnHeap());
    s += Units(L'b', 10).c_str();
    EXPECT_TRUE(s.IsOnHeap());
    EXPECT_EQ(Units(L'a', 60) + Units(L'b', 10), s.GetData());
    s += L'c';
    s.Append(nullptr);
    EXPECT_EQ(71, s.GetLength());
    EXPECT_EQ(L'c', s[70]);
}

TEST(CUiStringTest, SelfAppendAndSelfAssign) {
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
    u.Assign(u.GetData() + 5, 78);  // longer than 63: copied from its own block
    EXPECT_EQ(Units(L'k', 75) + L"end", u.GetData());
}

TEST(CUiStringTest, ConstructionAndNullTexts) {
    EXPECT_STREQ(L"", CUiString(static_cast<const wchar_t*>(nullptr)));
    EXPECT_STREQ(L"ab", CUiString(L"abcdef", 2));
    EXPECT_STREQ(L"abc", CUiString(L"abc", 10));
    EXPECT_STREQ(L"x", CUiString(L'x'));
    CUiString s(L"keep");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(L"ab", CUiString(L"ab") + static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ(L"abcd", CUiString(L"ab") + CUiString(L"cd"));
}

TEST(CUiStringTest, CompareIsOrdinalOverCodeUnits) {
    CUiString s(L"abc");
    EXPECT_EQ(0, s.Compare(L"abc"));
    EXPECT_EQ(-1, s.Compare(L"abd"));
    EXPECT_EQ(1, s.Compare(L"ab"));
    EXPECT_EQ(1, s.Compare(L"ABC"));
    EXPECT_EQ(-1, s.Compare(L"\x00e9"));  // above 0x7F
    EXPECT_EQ(0, s.CompareNoCase(L"ABC"));
    EXPECT_TRUE(s == L"abc");
    EXPECT_TRUE(s != CUiString(L"abd"));
    EXPECT_TRUE(CUiString(L"B") < CUiString(L"a"));
    s = L"MiXeD 12";
    s.MakeLower();
    EXPECT_STREQ(L"mixed 12", s);
}

TEST(CUiStringTest, LeftAndMidClampTheirRanges) {
    CUiString s(L"abcdef");
    EXPECT_STREQ(L"cdef", s.Mid(2, -1));
    EXPECT_STREQ(L"f", s.Mid(5, 4));
    EXPECT_STREQ(L"", s.Mid(6, 1));
    EXPECT_STREQ(L"ab", s.Mid(-3, 2));  // a negative position counts as 0
    EXPECT_STREQ(L"", s.Mid(2, 0));
    EXPECT_STREQ(L"", s.Mid(100));
    EXPECT_STREQ(L"", s.Left(-1));
    EXPECT_STREQ(L"abc", s.Left(3));
    EXPECT_STREQ(L"abcdef", s.Left(99));
}

TEST(CUiStringTest, FindStartRules) {
    CUiString s(L"abcabc");
    EXPECT_EQ(0, s.Find(L'a'));
    EXPECT_EQ(3, s.Find(L'a', 1));
    EXPECT_EQ(-1, s.Find(L'a', 6));   // start at the length
    EXPECT_EQ(-1, s.Find(L'a', -1));
    EXPECT_EQ(-1, CUiString().Find(L'a'));
    EXPECT_EQ(4, s.Find(L"bc", 2));
    EXPECT_EQ(-1, s.Find(L"bc", 6));  // empty tail
    EXPECT_EQ(6, s.Find(L"", 6));
    EXPECT_EQ(-1, s.Find(L"bc", 7));
    EXPECT_EQ(-1, s.Find(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(5, s.ReverseFind(L'c'));
    EXPECT_EQ(-1, s.ReverseFind(L'z'));
}

TEST(CUiStringTest, ReplaceEdgeCases) {
    CUiString s(L"aaa");
    EXPECT_EQ(3, s.Replace(L"a", L"aa"));
    EXPECT_STREQ(L"aaaaaa", s);

    s = L"one two one";
    EXPECT_EQ(2, s.Replace(L"one", L""));
    EXPECT_STREQ(L" two ", s);
    EXPECT_EQ(0, s.Replace(L"", L"x"));  // an empty search text changes nothing
    EXPECT_EQ(0, s.Replace(nullptr, L"x"));
    EXPECT_STREQ(L" two ", s);
    EXPECT_EQ(2, s.Replace(L" ", nullptr));
    EXPECT_STREQ(L"two", s);

    CUiString self(L"abc");
    EXPECT_EQ(1, self.Replace(self, L"[abc]"));
    EXPECT_STREQ(L"[abc]", self);

    CUiString grow(Units(L'x', 40));
    EXPECT_EQ(40, grow.Replace(L"x", L"yz"));
    EXPECT_EQ(80, grow.GetLength());
    EXPECT_TRUE(grow.IsOnHeap());
}

TEST(CUiStringTest, FormatShortIsBounded) {
    CUiString s;
    EXPECT_EQ(10, s.FormatShort(L"%4d-%02d-%02d", 2024, 3, 7));
    EXPECT_STREQ(L"2024-03-07", s);
    EXPECT_EQ(5, s.FormatShort(L"%s=%d", L"ab", 12));
    EXPECT_STREQ(L"ab=12", s);

    const std::wstring longText = Units(L'w', 200);
    const int written = s.FormatShort(L"%s", longText.c_str());
    EXPECT_LE(written, 63);
    EXPECT_EQ(written, s.GetLength());
    EXPECT_EQ(longText.substr(0, written), s.GetData());
}
