// The check that a program from outside may run with administrator rights,
// on the recording stand-in signed by the test publisher and on its copies
// that must be refused (tests/tools/signed_variants.sh), under the test root
// that each test adds to the prefix's trusted roots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/trusted_program.h"

using utility::TrustedProgram;
using utility::TrustVerdict;

namespace {

std::vector<std::wstring> g_lines;
void captureSink(const char* function, int, const wchar_t* message)
{
    g_lines.push_back(testutil::widen(function) + L": " + message);
}

class TrustedProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testutil::trustRootCertificate(signing + L"root.der"));
        // Copies in a folder of the test's own: a started stand-in writes its record beside itself.
        for (const wchar_t* name : {L"signed.exe", L"unsigned.exe", L"altered.exe", L"rogue.exe", L"other.exe"})
            ASSERT_TRUE(CopyFileW((signing + name).c_str(), dir.file(name).c_str(), FALSE)) << testutil::narrow(name);
        g_lines.clear();
        common::setLogSink(&captureSink);
    }
    void TearDown() override { common::setLogSink(nullptr); }
    size_t logged(const std::wstring& text) const
    {
        size_t n = 0;
        for (const auto& line : g_lines)
            n += line.find(text) != std::wstring::npos;
        return n;
    }

    const std::wstring signing = testutil::exeDir() + L"signing\\";
    testutil::TempDir dir;
};

}  // namespace

TEST_F(TrustedProgramTest, OnlyTheTrustedPublishersIntactSignatureUnderATrustedRootPasses)
{
    {
        TrustedProgram program(dir.file(L"signed.exe"));
        EXPECT_EQ(TrustVerdict::Trusted, program.verdict());
        EXPECT_EQ(1u, logged(dir.file(L"signed.exe") + L" trusted: signed by "));
    }
    struct Case {
        const wchar_t* name;
        TrustVerdict verdict;
        const wchar_t* reason;
    };
    for (const Case& c : {Case{L"unsigned.exe", TrustVerdict::Unsigned, L"unsigned"},
                          Case{L"altered.exe", TrustVerdict::Altered, L"altered"},
                          Case{L"rogue.exe", TrustVerdict::UntrustedRoot, L"untrusted root"},
                          Case{L"other.exe", TrustVerdict::OtherPublisher, L"another publisher"}}) {
        SCOPED_TRACE(testutil::narrow(c.name));
        TrustedProgram program(dir.file(c.name));
        EXPECT_EQ(c.verdict, program.verdict());
        EXPECT_FALSE(program.trusted());
        EXPECT_EQ(1u, logged(L"utility::TrustedProgram: " + dir.file(c.name) + L" refused: " + c.reason));
    }
    // The same good signature of a publisher the build does not name.
    TrustedProgram elsewhere(dir.file(L"signed.exe"), {L"CN=Someone Else, O=Elsewhere"});
    EXPECT_EQ(TrustVerdict::OtherPublisher, elsewhere.verdict());
}

TEST_F(TrustedProgramTest, TheCheckedFileIsHeldAgainstWritesUntilItHasStarted)
{
    const std::wstring path = dir.file(L"signed.exe");
    {
        TrustedProgram program(path);
        ASSERT_TRUE(program.trusted());
        HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(INVALID_HANDLE_VALUE, writer) << "opened for writing while held";
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
        EXPECT_FALSE(MoveFileExW(dir.file(L"other.exe").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            << "replaced while held";
        // The program itself still starts from the held file.
        EXPECT_TRUE(utility::process::execute(program, L"held", false, 10000));
        EXPECT_TRUE(testutil::fileExists(dir.file(L"signed.cmdline.txt")));
        program.release();
        HANDLE after = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, after) << "still held after release";
        if (after != INVALID_HANDLE_VALUE)
            CloseHandle(after);
    }
    // A refused program is not started; one open for writing elsewhere is not checked at all.
    TrustedProgram unsigned_(dir.file(L"unsigned.exe"));
    EXPECT_FALSE(utility::process::execute(unsigned_, L"", false, 10000));
    EXPECT_EQ(1u, logged(dir.file(L"unsigned.exe") + L" not started: unsigned"));
    EXPECT_FALSE(testutil::fileExists(dir.file(L"unsigned.cmdline.txt")));
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ(TrustVerdict::Unreadable, TrustedProgram(path).verdict());
    CloseHandle(writer);
}
