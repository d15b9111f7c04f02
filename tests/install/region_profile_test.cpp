#include <gtest/gtest.h>

#include "install/region_profile.h"

namespace {

struct Row {
    const wchar_t* input;
    const wchar_t* code;
    const wchar_t* locale;
    const wchar_t* reportRegion;
    const wchar_t* fontFace;
    const wchar_t* fontFile;
};

const Row kExpected[] = {
    {L"tw", L"tw", L"zh_TW", L"tw", L"方正兰亭圆_GBK_中粗", L"FZLANTYK_ZHONGCU.ttf"},
    {L"cn", L"cn", L"zh_CN", L"tw", L"Arial", L"FZY4JW.TTF"},
    {L"kr", L"kr", L"ko_KR", L"kr", L"Arial", L"kr.otf"},
    {L"jp", L"jp", L"ja_JP", L"jp", L"Arial", L""},
    {L"vn", L"vn", L"vi_VN", L"vn", L"Arial", L"Vf-Futura.ttf"},
    {L"th", L"th", L"th_TH", L"th", L"Arial", L"Prompt-Medium.ttf"},
    {L"pt", L"pt", L"pt_PT", L"br", L"Arial", L"Prompt-Medium.ttf"},
    {L"br", L"pt", L"pt_PT", L"br", L"Arial", L"Prompt-Medium.ttf"},
    {L"id", L"id", L"in_ID", L"vn", L"Arial", L"FZY4JW.TTF"},
    {L"en", L"en", L"en_US", L"en", L"Arial", L"FZY4JW.TTF"},
    {L"TW", L"en", L"en_US", L"en", L"Arial", L"FZY4JW.TTF"},
    {L"", L"en", L"en_US", L"en", L"Arial", L"FZY4JW.TTF"},
    {L"xx", L"en", L"en_US", L"en", L"Arial", L"FZY4JW.TTF"},
    {L"tw ", L"en", L"en_US", L"en", L"Arial", L"FZY4JW.TTF"},
};

}  // namespace

TEST(RegionProfileTest, EveryCodeAndTheDefault)
{
    for (const Row& row : kExpected) {
        SCOPED_TRACE(testing::Message() << "input '" << row.input << "'");
        RegionProfile profile;
        loadRegionProfile(row.input, profile);
        EXPECT_EQ(row.code, profile.code);
        EXPECT_EQ(row.locale, profile.locale);
        EXPECT_EQ(row.fontFace, profile.fontFace);
        EXPECT_EQ(row.fontFile, profile.fontFile);
        const std::wstring region = row.reportRegion;
        EXPECT_EQ(makeReportUrl(region + L"/log/dau"), profile.dailyReportUrl);
        EXPECT_EQ(makeReportUrl(region + L"/log/install/kxplayer"), profile.installReportUrl);
        EXPECT_EQ(makeReportUrl(region + L"/log/uninstall"), profile.uninstallReportUrl);
        EXPECT_EQ(makeReportUrl(region + L"/log/start/kxplayer"), profile.startReportUrl);
        EXPECT_FALSE(profile.surveyForm1.empty());
        EXPECT_FALSE(profile.surveyForm2.empty());
    }
}

TEST(RegionProfileTest, SurveyFormsAreSharedWhereTheTableSaysSo)
{
    RegionProfile tw, cn, id, vn, pt, br, en, kr;
    loadRegionProfile(L"tw", tw);
    loadRegionProfile(L"cn", cn);
    loadRegionProfile(L"id", id);
    loadRegionProfile(L"vn", vn);
    loadRegionProfile(L"pt", pt);
    loadRegionProfile(L"br", br);
    loadRegionProfile(L"zz", en);
    loadRegionProfile(L"kr", kr);

    // One form in both fields for tw and cn.
    EXPECT_EQ(tw.surveyForm1, tw.surveyForm2);
    EXPECT_EQ(tw.surveyForm1, cn.surveyForm1);
    EXPECT_EQ(cn.surveyForm1, cn.surveyForm2);
    // id borrows the vn forms; br and pt are one profile.
    EXPECT_EQ(vn.surveyForm1, id.surveyForm1);
    EXPECT_EQ(vn.surveyForm2, id.surveyForm2);
    EXPECT_EQ(pt.surveyForm1, br.surveyForm1);
    EXPECT_EQ(pt.surveyForm2, br.surveyForm2);
    // Every other row has two distinct forms of its own.
    EXPECT_NE(kr.surveyForm1, kr.surveyForm2);
    EXPECT_NE(en.surveyForm1, en.surveyForm2);
    EXPECT_NE(kr.surveyForm1, en.surveyForm1);
    EXPECT_NE(vn.surveyForm1, tw.surveyForm1);
}

TEST(RegionProfileTest, LoadOverwritesEveryField)
{
    RegionProfile profile;
    EXPECT_TRUE(profile.code.empty());
    EXPECT_TRUE(profile.fontFile.empty());
    loadRegionProfile(L"tw", profile);
    loadRegionProfile(L"jp", profile);
    EXPECT_EQ(L"jp", profile.code);
    EXPECT_EQ(L"ja_JP", profile.locale);
    EXPECT_TRUE(profile.fontFile.empty());
    EXPECT_EQ(makeReportUrl(L"jp/log/dau"), profile.dailyReportUrl);
}
