#include "foundation/region_profile.h"

#include "zul_deployment.h"

namespace {

// The deployment's survey forms of the public form service and its report API.
const wchar_t kReportApiBase[] = ZUL_REPORT_API_BASE;
const wchar_t kFormTw[] = ZUL_SURVEY_TW;
const wchar_t kFormKr1[] = ZUL_SURVEY_KR_1;
const wchar_t kFormKr2[] = ZUL_SURVEY_KR_2;
const wchar_t kFormJp1[] = ZUL_SURVEY_JP_1;
const wchar_t kFormJp2[] = ZUL_SURVEY_JP_2;
const wchar_t kFormVn1[] = ZUL_SURVEY_VN_1;
const wchar_t kFormVn2[] = ZUL_SURVEY_VN_2;
const wchar_t kFormTh1[] = ZUL_SURVEY_TH_1;
const wchar_t kFormTh2[] = ZUL_SURVEY_TH_2;
const wchar_t kFormBr1[] = ZUL_SURVEY_BR_1;
const wchar_t kFormBr2[] = ZUL_SURVEY_BR_2;
const wchar_t kFormEn1[] = ZUL_SURVEY_EN_1;
const wchar_t kFormEn2[] = ZUL_SURVEY_EN_2;

struct RegionRow {
    const wchar_t* input;  // code as given
    const wchar_t* code;   // normalised code
    const wchar_t* locale;
    const wchar_t* form1;
    const wchar_t* form2;
    const wchar_t* reportRegion;
    const wchar_t* fontFace;
    const wchar_t* fontFile;
};

// Searched in order; the first exact match wins. The last row is the default.
const RegionRow kRows[] = {
    {L"tw", L"tw", L"zh_TW", kFormTw, kFormTw, L"tw", L"方正兰亭圆_GBK_中粗", L"FZLANTYK_ZHONGCU.ttf"},
    {L"cn", L"cn", L"zh_CN", kFormTw, kFormTw, L"tw", L"Arial", L"FZY4JW.TTF"},
    {L"kr", L"kr", L"ko_KR", kFormKr1, kFormKr2, L"kr", L"Arial", L"kr.otf"},
    {L"jp", L"jp", L"ja_JP", kFormJp1, kFormJp2, L"jp", L"Arial", L""},
    {L"vn", L"vn", L"vi_VN", kFormVn1, kFormVn2, L"vn", L"Arial", L"Vf-Futura.ttf"},
    {L"th", L"th", L"th_TH", kFormTh1, kFormTh2, L"th", L"Arial", L"Prompt-Medium.ttf"},
    {L"pt", L"pt", L"pt_PT", kFormBr1, kFormBr2, L"br", L"Arial", L"Prompt-Medium.ttf"},
    {L"br", L"pt", L"pt_PT", kFormBr1, kFormBr2, L"br", L"Arial", L"Prompt-Medium.ttf"},
    {L"id", L"id", L"in_ID", kFormVn1, kFormVn2, L"vn", L"Arial", L"FZY4JW.TTF"},
    {nullptr, L"en", L"en_US", kFormEn1, kFormEn2, L"en", L"Arial", L"FZY4JW.TTF"},
};

}  // namespace

std::wstring makeReportUrl(const std::wstring& path) { return kReportApiBase + path; }

void loadRegionProfile(const std::wstring& regionCode, RegionProfile& profile)
{
    const RegionRow* row = kRows;
    while (row->input && regionCode != row->input)
        ++row;

    const std::wstring region = row->reportRegion;
    profile.code = row->code;
    profile.locale = row->locale;
    profile.surveyForm1 = row->form1;
    profile.surveyForm2 = row->form2;
    profile.dailyReportUrl = makeReportUrl(region + L"/log/dau");
    profile.installReportUrl = makeReportUrl(region + L"/log/install/kxplayer");
    profile.uninstallReportUrl = makeReportUrl(region + L"/log/uninstall");
    profile.startReportUrl = makeReportUrl(region + L"/log/start/kxplayer");
    profile.fontFace = row->fontFace;
    profile.fontFile = row->fontFile;
}
