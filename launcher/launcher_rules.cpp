#include "launcher/launcher_rules.h"

#include <stdio.h>

#include "foundation/ufile.h"

namespace rules {

namespace {

const unsigned long long kKiB = 1024;
const unsigned long long kMiB = 1048576;

std::wstring format(const wchar_t* pattern, unsigned long long a, unsigned long long b = 0, unsigned long long c = 0)
{
    wchar_t text[96] = {0};
    _snwprintf(text, 95, pattern, a, b, c);
    return text;
}

}  // namespace

SIZE mainClientSize(int workWidth, int workHeight)
{
    int width = kDesignWidth;
    int height = kDesignHeight;
    if (workWidth < width) {
        width = workWidth - 40;
        height = width * kDesignHeight / kDesignWidth;
    }
    if (workHeight < height) {
        height = workHeight - 20;
        width = height * kDesignWidth / kDesignHeight;
    }
    SIZE size = {width, height};
    return size;
}

std::wstring gameFolderFromChoice(const std::wstring& chosen, const std::wstring& leaf)
{
    if (chosen.size() <= 1)
        return std::wstring();
    std::wstring folder = utility::ufile::withSeparator(chosen);
    if (folder.size() == 3 || folder.find(leaf) == std::wstring::npos)
        folder = utility::ufile::withSeparator(folder + leaf);
    return folder;
}

int downloadPercent(unsigned long long received, unsigned long long total)
{
    if (total == 0)
        return 0;
    const double percent = static_cast<double>(received) * 100.0 / static_cast<double>(total);
    if (percent >= 100.0)
        return 100;
    return percent <= 0.0 ? 0 : static_cast<int>(percent);
}

std::wstring downloadSizeText(unsigned long long done, unsigned long long total)
{
    if (done < kMiB)
        return format(L"%I64uKB/%I64uMB", done / kKiB, total / kMiB);
    return format(L"%I64uMB/%I64uMB", done / kMiB, total / kMiB);
}

std::wstring downloadSpeedText(unsigned long long bytesPerSecond)
{
    if (bytesPerSecond < kMiB)
        return format(L"%I64uKB/S", bytesPerSecond / kKiB);
    return format(L"%I64uMB/S", bytesPerSecond / kMiB);
}

bool downloadTimeLeftText(unsigned long long done, unsigned long long total, unsigned long long bytesPerSecond,
                          std::wstring& text)
{
    if (bytesPerSecond == 0 || total == 0 || done >= total)
        return false;
    const unsigned long long seconds = (total - done) / bytesPerSecond;
    text = format(L"%02I64u:%02I64u:%02I64u", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return true;
}

bool isSafeVersionText(const std::wstring& version)
{
    if (version.empty() || version.size() > 32 || version.find(L"..") != std::wstring::npos)
        return false;
    for (wchar_t c : version) {
        const bool allowed = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
                             c == L'.' || c == L'_' || c == L'-';
        if (!allowed)
            return false;
    }
    return true;
}

std::wstring playerPackagePath(const std::wstring& appDir, const std::wstring& version)
{
    return appDir + L"zulen_" + version + L".7z";
}

std::wstring apkPackagePath(const std::wstring& gameDir, int version)
{
    return gameDir + L"zul_app_sea_" + std::to_wstring(version) + L".apk";
}

std::wstring localAppVersionPath(const std::wstring& gameDir)
{
    return utility::ufile::joinPath(gameDir, L"data\\appversion" + std::to_wstring(1000));
}

std::wstring clientInstallParams(const std::wstring& apkPath)
{
    return L"show=0|package=com.play.zulsea|apk=" + apkPath;
}

}  // namespace rules
