// Running the install job to its end on this (UI) thread, and the fixture
// of the job tests: a fresh install folder, no traces of an earlier install.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/region_profile.h"
#include "install/kxspace_model.h"
#include "install_traces.h"
#include "zul_deployment.h"

namespace insttest {

struct Progress {
    int percent;
    std::wstring text;
};

// Starts the job and pumps this thread's messages until the progress reaches
// 100 or -1. Returns every report seen; one reported off this thread adds -1000.
inline std::vector<Progress> runInstallJob(KXSpaceModel& model, DWORD timeoutMs = 60000)
{
    std::vector<Progress> seen;
    const DWORD uiThread = GetCurrentThreadId();
    bool offThread = false;
    model.setProgressCallback([&](int percent, const std::wstring& text) {
        offThread = offThread || GetCurrentThreadId() != uiThread;
        seen.push_back(Progress{percent, text});
    });
    if (!model.startInstallJob())
        return seen;
    testutil::pumpUntil([&] { return !seen.empty() && (seen.back().percent == 100 || seen.back().percent == -1); },
                        timeoutMs);
    model.joinWorker(5000);
    testutil::pumpFor(50);
    model.setProgressCallback(nullptr);
    if (offThread)
        seen.push_back(Progress{-1000, L"progress reported off the UI thread"});
    return seen;
}

typedef std::vector<std::pair<std::wstring, std::string>> PayloadItems;

// The non-empty files of a module's payload resource (this executable's by
// default) in archive order, by relative path.
inline PayloadItems payloadItems(HMODULE module = nullptr)
{
    PayloadItems items;
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(130), L"zip");
    if (!resource)
        return items;
    SzExtractInMemory(LockResource(LoadResource(module, resource)), SizeofResource(module, resource),
                      [&](const std::wstring& name, const std::string& bytes) {
                          items.emplace_back(name, bytes);
                          for (wchar_t& c : items.back().first)
                              c = c == L'/' ? L'\\' : c;
                      });
    return items;
}

// Every payload item in the install folder byte for byte, and the empty "data" folder.
inline void expectPayloadInstalled(const PayloadItems& items, const std::wstring& installPath)
{
    ASSERT_GE(items.size(), 9u);
    for (const auto& item : items)
        EXPECT_TRUE(testutil::readFile(installPath + item.first) == item.second) << testutil::narrow(item.first);
    EXPECT_TRUE(testutil::dirExists(installPath + L"data"));
}

// The product key, the Run value and the uninstall entry of an installation.
inline void expectRegistered(const std::wstring& installPath, const std::wstring& region, const std::wstring& locale)
{
    const struct {
        HKEY root;
        const wchar_t *key, *name;
        std::wstring value;
    } expected[] = {
        {HKEY_CURRENT_USER, kProductKey, L"InstallDir", installPath},
        {HKEY_CURRENT_USER, kProductKey, L"Version", ZUL_VERSION_REGISTRY},
        {HKEY_CURRENT_USER, kProductKey, L"Language", region},
        {HKEY_CURRENT_USER, kProductKey, L"LanguageLong", locale},
        {HKEY_CURRENT_USER, kRunKey, L"ZUL", L"\"" + installPath + L"zulplay.exe\" autorun"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString", L"\"" + installPath + L"zulplayuninst.exe\""},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName", L"ZUL"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon", installPath + L"zulplay.exe"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher", ZUL_PUBLISHER},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion", ZUL_VERSION_TEXT},
    };
    for (const auto& e : expected) {
        std::wstring value;
        EXPECT_TRUE(readRegString(e.root, e.key, e.name, value)) << testutil::narrow(e.name);
        EXPECT_EQ(e.value, value);
    }
}

// The four shortcuts: the launcher three times, the uninstaller once, all
// working in the install folder.
inline void expectShortcuts(const std::wstring& installPath)
{
    const std::vector<std::wstring> links = shortcutPaths();
    const std::wstring folder = installPath.substr(0, installPath.size() - 1);
    for (size_t i = 0; i < links.size(); ++i) {
        const std::wstring exe = i == 3 ? L"zulplayuninst.exe" : L"zulplay.exe";
        std::wstring target, workingDir;
        ASSERT_TRUE(resolveShortcut(links[i], target, workingDir)) << testutil::narrow(links[i]);
        if (!workingDir.empty() && workingDir.back() == L'\\')
            workingDir.pop_back();
        EXPECT_EQ(0, _wcsicmp((installPath + exe).c_str(), target.c_str())) << testutil::narrow(target);
        EXPECT_EQ(0, _wcsicmp(folder.c_str(), workingDir.c_str())) << testutil::narrow(workingDir);
    }
}

// What an unattended run of the installer executable leaves behind for this
// user: its payload, the registration for the user's region, the shortcuts.
inline void expectInstalledBy(const std::wstring& installerExe, const std::wstring& installPath)
{
    HMODULE image = LoadLibraryExW(installerExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(image != nullptr) << testutil::narrow(installerExe);
    expectPayloadInstalled(payloadItems(image), installPath);
    FreeLibrary(image);
    const std::wstring region = KXSpaceModel::regionFromUiLanguage(GetUserDefaultUILanguage());
    RegionProfile profile;
    loadRegionProfile(region, profile);
    expectRegistered(installPath, region, profile.locale);
    expectShortcuts(installPath);
}

// The firewall rule command that the system's powershell (the stand-in) recorded, once.
inline void expectFirewallCommand(const StandInSystemFolder& system, const std::wstring& quotedProgram)
{
    // Neither the user's profile nor a prompt in the elevated PowerShell.
    EXPECT_EQ(std::vector<std::wstring>{L"\"" + system.powershellExe() +
                                        L"\" -NoProfile -NonInteractive New-NetFirewallRule -DisplayName \"ZUL\" "
                                        L"-Direction Inbound -Program '" +
                                        quotedProgram + L"' -RemoteAddress LocalSubnet -Action Allow"},
              recordedCommandLines(system.powershellRecord()));
}

class InstallJobFixture : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        utility::init();  // sets the log sink: capture after it
        logs.reset(new LogCapture());
        removeInstallTraces();
        ASSERT_TRUE(system.made());
        installPath = temp.path() + L"Games\\ZUL\\";
        model.setInstallPath(installPath);
        model.setRegion(L"tw");
        loadRegionProfile(L"tw", model.regionProfile());
    }
    void TearDown() override
    {
        removeInstallTraces();
        logs.reset();
        utility::uninit();
        CoUninitialize();
    }

    testutil::TempDir temp;
    StandInSystemFolder system;
    std::wstring installPath;
    KXSpaceModel model;
    std::unique_ptr<LogCapture> logs;
};

}  // namespace insttest
