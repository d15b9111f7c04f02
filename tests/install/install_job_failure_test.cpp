// The install job with a payload that cannot be unpacked (built with a
// corrupted archive) or that is missing (built without one): it ends with -1
// and its text, and registers nothing.
#include <gtest/gtest.h>

#include <objbase.h>

#include "install/kxspace_model.h"
#include "install_test_util.h"
#include "common/test_util.h"

using insttest::Progress;

namespace {

std::wstring powershellRecord() { return testutil::exeDir() + L"powershell.cmdline.txt"; }

class InstallJobFailureTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        utility::init();
        logs.reset(new insttest::LogCapture());
        insttest::removeInstallTraces();
        DeleteFileW(powershellRecord().c_str());
        installPath = temp.path() + L"ZUL\\";
        model.setInstallPath(installPath);
        model.setRegion(L"kr");
        loadRegionProfile(L"kr", model.regionProfile());
    }
    void TearDown() override
    {
        insttest::removeInstallTraces();
        logs.reset();
        utility::uninit();
        CoUninitialize();
    }

    void expectNothingRegistered()
    {
        std::wstring value;
        EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, kProductRegKey));
        EXPECT_FALSE(insttest::regKeyExists(HKEY_LOCAL_MACHINE, kUninstallRegKey));
        EXPECT_FALSE(insttest::readRegString(HKEY_CURRENT_USER, kRunRegKey, L"ZUL", value));
        for (const std::wstring& link : insttest::shortcutPaths())
            EXPECT_FALSE(testutil::fileExists(link)) << testutil::narrow(link);
        EXPECT_FALSE(testutil::fileExists(powershellRecord()));
    }

    testutil::TempDir temp;
    std::wstring installPath;
    KXSpaceModel model;
    std::unique_ptr<insttest::LogCapture> logs;
};

}  // namespace

#if defined(ZUL_TEST_CORRUPT_PAYLOAD)

TEST_F(InstallJobFailureTest, CorruptPayloadFailsAfterThreeAttempts)
{
    const std::vector<Progress> seen = insttest::runInstallJob(model);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(-1, seen.back().percent);
    EXPECT_EQ(L"解压安装包失败", seen.back().text);
    EXPECT_EQ(kInstallExtractFailed, model.errorCode());
    for (size_t i = 0; i + 1 < seen.size(); ++i) {
        EXPECT_GE(seen[i].percent, 1);
        EXPECT_LT(seen[i].percent, 80);
        if (i > 0) {
            EXPECT_GT(seen[i].percent, seen[i - 1].percent);
        }
    }
    EXPECT_EQ(2, logs->count(L"try  zip"));
    EXPECT_EQ(3, logs->count(L"onResult "));
    EXPECT_TRUE(logs->contains(L"extract files error 10"));
    expectNothingRegistered();
}

#elif defined(ZUL_TEST_MISSING_PAYLOAD)

TEST_F(InstallJobFailureTest, MissingPayloadFailsAtOnce)
{
    const std::vector<Progress> seen = insttest::runInstallJob(model);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(-1, seen[0].percent);
    EXPECT_EQ(L"安装包已损坏", seen[0].text);
    EXPECT_EQ(kInstallResourceNotFound, model.errorCode());
    EXPECT_TRUE(logs->contains(L"FindResource error 18"));
    EXPECT_FALSE(logs->contains(L"kill progress"));
    EXPECT_FALSE(testutil::dirExists(installPath));
    expectNothingRegistered();
}

#endif
