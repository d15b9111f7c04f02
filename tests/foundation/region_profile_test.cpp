#include <gtest/gtest.h>

#include "common/test_util.h"
#include "foundation/region_profile.h"

// One profile loaded row after row: every field must be overwritten (jp
// clears the font file the row before set).
TEST(RegionProfileTest, EveryCodeAndTheDefault)
{
    const struct {
        const wchar_t *input, *code, *locale, *report, *fontFace, *fontFile;
    } rows[] = {
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
        {L"TW", L"en", L"en_US", L"en", L"Arial", L"FZY4JW.TTF"},  // codes compare exactly
        {L"", L"en", L"en_US", L"en", L"Arial", L"FZY4JW.TTF"},
    };
    RegionProfile profile;
    for (const auto& row : rows) {
        SCOPED_TRACE(testutil::narrow(row.input));
        loadRegionProfile(row.input, profile);
        EXPECT_EQ(row.code, profile.code);
        EXPECT_EQ(row.locale, profile.locale);
        EXPECT_EQ(row.fontFace, profile.fontFace);
        EXPECT_EQ(row.fontFile, profile.fontFile);
        const std::wstring region = row.report;
        EXPECT_EQ(makeReportUrl(region + L"/log/dau"), profile.dailyReportUrl);
        EXPECT_EQ(makeReportUrl(region + L"/log/install/kxplayer"), profile.installReportUrl);
        EXPECT_EQ(makeReportUrl(region + L"/log/uninstall"), profile.uninstallReportUrl);
        EXPECT_EQ(makeReportUrl(region + L"/log/start/kxplayer"), profile.startReportUrl);
        EXPECT_FALSE(profile.surveyForm1.empty() || profile.surveyForm2.empty());
        if (row.input == std::wstring(L"id")) {  // id borrows the vn forms
            RegionProfile vn;
            loadRegionProfile(L"vn", vn);
            EXPECT_EQ(vn.surveyForm1 + vn.surveyForm2, profile.surveyForm1 + profile.surveyForm2);
        }
    }
}
