// Demo: runs the install job with the test payload into a folder of the
// Wine prefix (or the folder the model chooses), then prints the installed
// files, the registry values and the shortcuts. Nothing is removed.
//   install_demo.exe [install folder | auto] [region]
// The folder defaults to C:\ZULDemo\; "auto" lets the model choose it (under
// Wine that is usually Z:\ZUL\, the host's root).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/log.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/ustring.h"
#include "install/kxspace_model.h"
#include "common/test_util.h"
#include "install_test_util.h"

namespace {

void print(const std::wstring& text) { std::printf("%s\n", utility::ustring::toUtf8(text).c_str()); }

void printSink(const char* function, int line, const wchar_t* message)
{
    std::printf("  log %s(%d): %s\n", function, line, utility::ustring::toUtf8(message).c_str());
}

void printValue(HKEY root, const wchar_t* rootName, const std::wstring& key, const wchar_t* name)
{
    std::wstring value;
    bool found = insttest::readRegString(root, key, name, value);
    print(std::wstring(L"  ") + rootName + L"\\" + key + L" [" + name + L"] = " +
          (found ? L"\"" + value + L"\"" : std::wstring(L"(missing)")));
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
    if (argc < 2 || std::wstring(argv[1]) != L"auto") {
        std::wstring folder = argc > 1 ? argv[1] : L"C:\\ZULDemo\\";
        if (!folder.empty() && folder.back() != L'\\')
            folder += L'\\';
        model.setInstallPath(folder);
    } else {
        model.calcInstallPath();
    }
    print(L"install folder: " + model.getInstallPath());

    std::vector<insttest::Progress> seen = insttest::runInstallJob(model, 120000);
    std::wstring progress = L"progress:";
    for (const insttest::Progress& p : seen)
        progress += L" " + std::to_wstring(p.percent) + (p.text.empty() ? L"" : L" (" + p.text + L")");
    print(progress);

    const std::wstring folder = model.getInstallPath();
    print(L"files:");
    for (const std::wstring& file : insttest::listFiles(folder)) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW((folder + file).c_str(), GetFileExInfoStandard, &data);
        print(L"  " + file + L"  " + std::to_wstring(data.nFileSizeLow) + L" bytes");
    }

    print(L"registry:");
    for (const wchar_t* name : {L"InstallDir", L"Version", L"Language", L"LanguageLong"})
        printValue(HKEY_CURRENT_USER, L"HKCU", kProductRegKey, name);
    printValue(HKEY_CURRENT_USER, L"HKCU", kRunRegKey, L"ZUL");
    for (const wchar_t* name :
         {L"UninstallString", L"DisplayName", L"DisplayIcon", L"Publisher", L"DisplayVersion"})
        printValue(HKEY_LOCAL_MACHINE, L"HKLM", kUninstallRegKey, name);

    print(L"shortcuts:");
    for (const std::wstring& link : insttest::shortcutPaths()) {
        std::wstring target, workingDir;
        if (insttest::resolveShortcut(link, target, workingDir))
            print(L"  " + link + L"\n    -> " + target + L"  (in " + workingDir + L")");
        else
            print(L"  " + link + L"  (missing)");
    }

    print(L"firewall command received by the powershell stand-in:");
    for (const std::wstring& line :
         insttest::recordedCommandLines(testutil::exeDir() + L"powershell.cmdline.txt"))
        print(L"  " + line);

    if (!seen.empty() && seen.back().percent == 100) {
        const std::wstring record = folder + L"zulplay.cmdline.txt";
        model.startLauncher(false);
        testutil::pumpUntil([&] { return testutil::fileExists(record); }, 10000);
        testutil::pumpFor(200);
        print(L"launcher stand-in started with:");
        for (const std::wstring& line : insttest::recordedCommandLines(record))
            print(L"  " + line);
    }

    common::setLogSink(nullptr);
    utility::uninit();
    CoUninitialize();
    return !seen.empty() && seen.back().percent == 100 ? 0 : 1;
}
