// Running the install job to its end on this (UI) thread, and the fixture
// of the job tests: a fresh install folder, no traces of an earlier install.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "install/kxspace_model.h"
#include "install_traces.h"

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
    testutil::pumpUntil(
        [&] { return !seen.empty() && (seen.back().percent == 100 || seen.back().percent == -1); },
        timeoutMs);
    model.joinWorker(5000);
    testutil::pumpFor(50);
    model.setProgressCallback(nullptr);
    if (offThread)
        seen.push_back(Progress{-1000, L"progress reported off the UI thread"});
    return seen;
}

// The non-empty files of this executable's payload resource in archive
// order, by relative path.
inline std::vector<std::pair<std::wstring, std::string>> payloadItems()
{
    std::vector<std::pair<std::wstring, std::string>> items;
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(130), L"zip");
    if (!resource)
        return items;
    SzExtractInMemory(LockResource(LoadResource(nullptr, resource)), SizeofResource(nullptr, resource),
                      [&](const std::wstring& name, const std::string& bytes) {
                          items.emplace_back(name, bytes);
                          for (wchar_t& c : items.back().first)
                              c = c == L'/' ? L'\\' : c;
                      });
    return items;
}

inline std::wstring powershellRecord() { return testutil::exeDir() + L"powershell.cmdline.txt"; }

class InstallJobFixture : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        utility::init();  // sets the log sink: capture after it
        logs.reset(new LogCapture());
        removeInstallTraces();
        DeleteFileW(powershellRecord().c_str());
        installPath = temp.path() + L"Games\\ZUL\\";
        model.setInstallPath(installPath);
        model.setRegion(L"tw");
        loadRegionProfile(L"tw", model.regionProfile());
    }
    void TearDown() override
    {
        removeInstallTraces();
        DeleteFileW(powershellRecord().c_str());
        logs.reset();
        utility::uninit();
        CoUninitialize();
    }

    testutil::TempDir temp;
    std::wstring installPath;
    KXSpaceModel model;
    std::unique_ptr<LogCapture> logs;
};

}  // namespace insttest
