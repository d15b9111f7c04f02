// Demo: runs the install job with the test payload into a folder of the
// Wine prefix (or the folder the model chooses), then prints the installed
// files, the registry values and the shortcuts. Nothing is removed.
//   install_demo.exe [install folder | auto] [region]
// The folder defaults to C:\ZULDemo\; "auto" lets the model choose it (under
// Wine that is usually Z:\ZUL\, the host's root).
#include <cstdio>

#include "foundation/log.h"
#include "foundation/ustring.h"
#include "install_test_util.h"

namespace {

void print(const std::wstring& text) { std::printf("%s\n", utility::ustring::toUtf8(text).c_str()); }

void printSink(const char* function, int line, const wchar_t* message)
{
    std::printf("  log %s(%d): %s\n", function, line, utility::ustring::toUtf8(message).c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    CoInitialize(nullptr);
    utility::init();
    common::setLogSink(&printSink);
    KXSpaceModel model;
    const std::wstring region = argc > 2 ? argv[2] : L"en";
    model.setRegion(region);
    loadRegionProfile(region, model.regionProfile());
    std::wstring folder = argc > 1 ? argv[1] : L"C:\\ZULDemo\\";
    if (folder == L"auto")
        model.calcInstallPath();
    else
        model.setInstallPath(folder.back() == L'\\' ? folder : folder + L'\\');
    folder = model.getInstallPath();
    print(L"install folder: " + folder);

    std::wstring progress = L"progress:";
    const std::vector<insttest::Progress> seen = insttest::runInstallJob(model, 120000);
    for (const insttest::Progress& p : seen)
        progress += L" " + std::to_wstring(p.percent) + (p.text.empty() ? L"" : L" (" + p.text + L")");
    print(progress);

    print(L"files (bytes installed / in the payload):");
    for (const auto& item : insttest::payloadItems())
        print(L"  " + item.first + L"  " + std::to_wstring(testutil::readFile(folder + item.first).size()) +
              L" / " + std::to_wstring(item.second.size()));

    print(L"registry:");
    const std::pair<const wchar_t*, const wchar_t*> values[] = {
        {insttest::kProductKey, L"InstallDir"}, {insttest::kProductKey, L"Version"},
        {insttest::kProductKey, L"Language"}, {insttest::kProductKey, L"LanguageLong"},
        {insttest::kRunKey, L"ZUL"}, {insttest::kUninstallKey, L"UninstallString"},
        {insttest::kUninstallKey, L"DisplayName"}, {insttest::kUninstallKey, L"DisplayIcon"},
        {insttest::kUninstallKey, L"Publisher"}, {insttest::kUninstallKey, L"DisplayVersion"}};
    for (const auto& v : values) {
        const HKEY root = v.first == insttest::kUninstallKey ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        std::wstring value;
        if (!insttest::readRegString(root, v.first, v.second, value))
            value = L"(missing)";
        print(std::wstring(root == HKEY_CURRENT_USER ? L"  HKCU\\" : L"  HKLM\\") + v.first + L" [" +
              v.second + L"] = " + value);
    }

    print(L"shortcuts:");
    for (const std::wstring& link : insttest::shortcutPaths()) {
        std::wstring target, workingDir;
        if (!insttest::resolveShortcut(link, target, workingDir))
            target = L"(missing)";
        print(L"  " + link + L"\n    -> " + target + L"  (in " + workingDir + L")");
    }
    print(L"firewall command received by the powershell stand-in:");
    for (const std::wstring& line : insttest::recordedCommandLines(insttest::powershellRecord()))
        print(L"  " + line);

    common::setLogSink(nullptr);
    utility::uninit();
    CoUninitialize();
    return !seen.empty() && seen.back().percent == 100 ? 0 : 1;
}
