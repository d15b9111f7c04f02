#include <gtest/gtest.h>

#include "skinui/core/attribute_parser.h"

using namespace SkinUI;

TEST(AttributeParserTest, BooleansIntegersAndColours)
{
    EXPECT_TRUE(ParseBool(L"true"));
    EXPECT_FALSE(ParseBool(L"TRUE"));
    EXPECT_FALSE(ParseBool(L"1"));
    EXPECT_FALSE(ParseBool(nullptr));
    EXPECT_EQ(-7, ParseInt(L" -7px"));
    EXPECT_EQ(0, ParseInt(nullptr));
    EXPECT_EQ(0xFF16171Fu, ParseColor(L"#FF16171F"));
    EXPECT_EQ(0xFF16171Fu, ParseColor(L"FF16171F"));
    EXPECT_EQ(0u, ParseColor(L"##FF"));                 // only one "#" is skipped
    EXPECT_EQ(0xFF00FF00u, ParseColor(L"0xFF00FF00"));  // as image masks are written
    EXPECT_EQ(0u, ParseColor(nullptr));
}

TEST(AttributeParserTest, WellFormedLists)
{
    // Any single character separates, and blanks before a number are skipped.
    CUiRect r = ParseRect(L"1;-2x3, 4");
    EXPECT_EQ(1, r.left);
    EXPECT_EQ(-2, r.top);
    EXPECT_EQ(3, r.right);
    EXPECT_EQ(4, r.bottom);
    CUiSize s = ParseSize(L"120,40");
    EXPECT_EQ(120, s.cx);
    EXPECT_EQ(40, s.cy);
    double d[4] = {9, 9, 9, 9};
    EXPECT_EQ(4, ParseDoubleList(L"0,0.5,1,1", d, 4));
    EXPECT_DOUBLE_EQ(0.5, d[1]);
    EXPECT_DOUBLE_EQ(1.0, d[3]);
}

TEST(AttributeParserTest, ShortValuesStopAtTheEnd)
{
    CUiRect r = ParseRect(L"10,20");
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(0, r.right);
    EXPECT_EQ(0, r.bottom);
    int v[4] = {5, 5, 5, 5};
    EXPECT_EQ(1, ParseIntList(L"7", v, 4));
    EXPECT_EQ(7, v[0]);
    EXPECT_EQ(0, v[3]);
    EXPECT_EQ(0, ParseIntList(L"", v, 4));
    EXPECT_EQ(0, v[0]);
    EXPECT_EQ(1, ParseIntList(L"3,", v, 4));  // the separator is the last unit
    EXPECT_EQ(0, v[1]);
    EXPECT_EQ(0, ParseSize(L"300").cy);
    EXPECT_EQ(0, ParseSize(nullptr).cx);
    double d[4] = {9, 9, 9, 9};
    EXPECT_EQ(2, ParseDoubleList(L"0.25,0.75", d, 4));
    EXPECT_DOUBLE_EQ(0.0, d[2]);
}
