// The install job with a payload that cannot be unpacked (built with a
// corrupted archive) or that is missing (built without one): it ends with -1
// and the language key of its text, and registers nothing.
#include <gtest/gtest.h>

#include "install_test_util.h"

using insttest::Progress;

namespace {

class InstallJobFailureTest : public insttest::InstallJobFixture {
protected:
    void expectNothingRegistered()
    {
        std::wstring value;
        EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, insttest::kProductKey));
        EXPECT_FALSE(insttest::regKeyExists(HKEY_LOCAL_MACHINE, insttest::kUninstallKey));
        EXPECT_FALSE(insttest::readRegString(HKEY_CURRENT_USER, insttest::kRunKey, L"ZUL", value));
        for (const std::wstring& link : insttest::shortcutPaths())
            EXPECT_FALSE(testutil::fileExists(link)) << testutil::narrow(link);
        EXPECT_FALSE(testutil::fileExists(system.powershellRecord()));
    }
};

}  // namespace

#if defined(ZUL_TEST_CORRUPT_PAYLOAD)

TEST_F(InstallJobFailureTest, CorruptPayloadFailsAfterThreeAttempts)
{
    const std::vector<Progress> seen = insttest::runInstallJob(model);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(-1, seen.back().percent);
    EXPECT_EQ(L"install_failed_unpack", seen.back().text);  // the key of its text
    EXPECT_EQ(kInstallExtractFailed, model.errorCode());
    for (size_t i = 0; i + 1 < seen.size(); ++i) {
        EXPECT_GE(seen[i].percent, i == 0 ? 1 : seen[i - 1].percent + 1);
        EXPECT_LT(seen[i].percent, 80);
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
    EXPECT_EQ(L"install_failed_damaged", seen[0].text);
    EXPECT_EQ(kInstallResourceNotFound, model.errorCode());
    EXPECT_TRUE(logs->contains(L"FindResource error 18"));
    EXPECT_FALSE(logs->contains(L"kill progress"));
    EXPECT_FALSE(testutil::dirExists(installPath));
    expectNothingRegistered();
}

#endif
