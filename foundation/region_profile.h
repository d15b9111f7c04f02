// Everything that depends on the user's region: the language column, the
// survey forms, the report addresses and the private font. Shared by the
// installer, the uninstaller and the launcher.
#pragma once

#include <string>

struct RegionProfile {
    std::wstring code;                // normalised region code ("tw", "pt", "en", ...)
    std::wstring locale;              // language-table column and "LanguageLong" ("zh_TW")
    std::wstring surveyForm1;         // first survey form address
    std::wstring surveyForm2;         // second survey form (the uninstaller opens this one)
    std::wstring dailyReportUrl;      // <report base><region>/log/dau
    std::wstring installReportUrl;    // <report base><region>/log/install/kxplayer
    std::wstring uninstallReportUrl;  // <report base><region>/log/uninstall
    std::wstring startReportUrl;      // <report base><region>/log/start/kxplayer
    std::wstring fontFace;            // face name of the private font
    std::wstring fontFile;            // file name in the fonts folder, or empty

    RegionProfile() = default;
};

// Overwrites all ten fields from a two-letter region code. The code is
// compared exactly (case-sensitive); an unknown code gives the en_US profile.
void loadRegionProfile(const std::wstring& regionCode, RegionProfile& profile);

// The report-API base address followed by path.
std::wstring makeReportUrl(const std::wstring& path);
