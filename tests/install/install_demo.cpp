// Demo: runs the install job with the test payload into a folder of the
// Wine prefix (or the folder the model chooses), then prints the installed
// files, the registry values and the shortcuts. Nothing is removed.
//   install_demo.exe [install folder | auto] [region]
// The folder defaults to C:\ZULDemo\; "auto" lets the model choose it (under
// Wine that is usually Z:\ZUL\, the host's root).
//   install_demo.exe --show <install folder> <installer exe>
// prints the same for an installation the installer program made, against
// the payload that installer carries, with what the stand-ins of its stand-in
// system folder (ZUL_TEST_SYSTEM_DIR, when set) and of the install folder
// recorded.
#include <cstdio>

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "install_test_util.h"

namespace {

void print(const std::wstring& text) { std::printf("%s\n", utility::ustring::toUtf8(text).c_str()); }

void printSink(const char* function, int line, const wchar_t* message)
{
    std::printf("  log %s(%d): %s\n", function, line, utility::ustring::toUtf8(message).c_str());
}

// The files, registry values, shortcuts and the firewall command of an installation.
void showInstallation(const std::wstring& folder, const insttest::PayloadItems& payload,
                      const std::wstring& powershellRecord)
{
    print(L"files (bytes installed / in the payload):");
    for (const auto& item : payload)
        print(L"  " + item.first + L"  " + std::to_wstring(testutil::readFile(folder + item.first).size()) + L" / " +
              std::to_wstring(item.second.size()));

    print(L"registry:");
    const std::pair<const wchar_t*, const wchar_t*> values[] = {{insttest::kProductKey, L"InstallDir"},
                                                                {insttest::kProductKey, L"Version"},
                                                                {insttest::kProductKey, L"Language"},
                                                                {insttest::kProductKey, L"LanguageLong"},
                                                                {insttest::kRunKey, L"ZUL"},
                                                                {insttest::kUninstallKey, L"UninstallString"},
                                                                {insttest::kUninstallKey, L"DisplayName"},
                                                                {insttest::kUninstallKey, L"DisplayIcon"},
                                                                {insttest::kUninstallKey, L"Publisher"},
                                                                {insttest::kUninstallKey, L"DisplayVersion"}};
    for (const auto& v : values) {
        const HKEY root = v.first == insttest::kUninstallKey ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        std::wstring value;
        if (!insttest::readRegString(root, v.first, v.second, value))
            value = L"(missing)";
        print(std::wstring(root == HKEY_CURRENT_USER ? L"  HKCU\\" : L"  HKLM\\") + v.first + L" [" + v.second +
              L"] = " + value);
    }

    print(L"shortcuts:");
    for (const std::wstring& link : insttest::shortcutPaths()) {
        std::wstring target, workingDir;
        if (!insttest::resolveShortcut(link, target, workingDir))
            target = L"(missing)";
        print(L"  " + link + L"\n    -> " + target + L"  (in " + workingDir + L")");
    }
    print(L"firewall command received by the powershell stand-in:");
    for (const std::wstring& line : insttest::recordedCommandLines(powershellRecord))
        print(L"  " + line);
}

// An installation the installer program made.
int showOnly(const std::wstring& folderArg, const std::wstring& installer)
{
    const std::wstring folder = folderArg.back() == L'\\' ? folderArg : folderArg + L'\\';
    HMODULE image = LoadLibraryExW(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (image == nullptr) {
        print(L"cannot read " + installer);
        return 1;
    }
    const insttest::PayloadItems payload = insttest::payloadItems(image);
    FreeLibrary(image);
    print(L"install folder: " + folder);
    wchar_t system[MAX_PATH] = {0};
    const DWORD length = GetEnvironmentVariableW(L"ZUL_TEST_SYSTEM_DIR", system, MAX_PATH);
    const std::wstring record = length > 0 && length < MAX_PATH ? utility::ufile::withSeparator(system) +
                                                                      L"WindowsPowerShell\\v1.0\\powershell.cmdline.txt"
                                                                : std::wstring();
    showInstallation(folder, payload, record);
    const std::vector<std::wstring> launched = insttest::recordedCommandLines(folder + L"zulplay.cmdline.txt");
    if (!launched.empty()) {
        print(L"launcher started by the installer (its stand-in recorded):");
        for (const std::wstring& line : launched)
            print(L"  " + line);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wstring(argv[1]) == L"--show") {
        CoInitialize(nullptr);
        const int result = showOnly(argv[2], argv[3]);
        CoUninitialize();
        return result;
    }
    CoInitialize(nullptr);
    utility::init();
    common::setLogSink(&printSink);
    insttest::StandInSystemFolder system;
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

    showInstallation(folder, insttest::payloadItems(), system.powershellRecord());

    common::setLogSink(nullptr);
    utility::uninit();
    CoUninitialize();
    return !seen.empty() && seen.back().percent == 100 ? 0 : 1;
}
