#include <gtest/gtest.h>

#include <regex>

#include "common/test_util.h"
#include "foundation/log.h"

namespace {

// Starts a fresh logger on a file of the test's own and stops it again.
class LogFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        common::setLogSink(&common::logLine);
        common::setLogLimits(common::kSmallLogLimits);
        path_ = dir_.file(L"test.log");
    }
    void TearDown() override
    {
        common::Logger::shutdown();
        common::setLogLimits(common::kSmallLogLimits);
    }
    std::string stopAndRead()
    {
        common::Logger::shutdown();
        return testutil::readFile(path_);
    }

    testutil::TempDir dir_;
    std::wstring path_;
};

TEST_F(LogFileTest, LineLayoutCarriesTimeThreadFunctionAndLine)
{
    common::startLogging(path_);
    common::log("utility::ufile::makeDir", 57, L"make dir failed! error = %d.", 5);
    std::string text = stopAndRead();

    std::regex layout("^\\d\\d-\\d\\d\t\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\t(\\d{4,})\tutility::ufile::makeDir\t\\(57\\):"
                      "make dir failed! error = 5\\.\r\n$");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, layout)) << text;
    EXPECT_EQ(std::stoul(match[1].str()), GetCurrentThreadId());
}

TEST_F(LogFileTest, WideStringsPercentSignsAndNonAsciiSurviveFormatting)
{
    common::startLogging(path_);
    const wchar_t* url = L"http://h/a%20b?q=%s";
    common::log("T::f", 1, L"url = [%s] name = %s", url, L"Grüße 日本");
    std::string text = stopAndRead();
    EXPECT_NE(text.find("url = [http://h/a%20b?q=%s] name = Gr\xC3\xBC\xC3\x9F"
                        "e \xE6\x97\xA5\xE6\x9C\xAC\r\n"),
              std::string::npos)
        << text;
}

TEST_F(LogFileTest, MessagesAreCutAndOverlongLinesDroppedWhole)
{
    common::startLogging(path_);
    common::log("T::cut", 1, L"%s", std::wstring(600, L'x').c_str());
    // 500 three-byte characters fit the 511-character cut but not a 1024-byte line.
    common::log("T::drop", 2, L"%s", std::wstring(500, L'\x65E5').c_str());
    common::log("T::after", 3, L"still here");
    std::string text = stopAndRead();

    size_t cut = text.find("(1):");
    ASSERT_NE(cut, std::string::npos);
    std::string message = text.substr(cut + 4, text.find("\r\n", cut) - cut - 4);
    EXPECT_EQ(message, std::string(511, 'x'));
    EXPECT_EQ(text.find("T::drop"), std::string::npos);
    EXPECT_NE(text.find("still here"), std::string::npos);
}

TEST_F(LogFileTest, LauncherLimitsKeepLongLines)
{
    common::setLogLimits(common::kLauncherLogLimits);
    common::startLogging(path_);
    common::log("T::long", 1, L"%s", std::wstring(3000, L'y').c_str());
    std::string text = stopAndRead();
    EXPECT_NE(text.find(std::string(3000, 'y') + "\r\n"), std::string::npos);
}

TEST_F(LogFileTest, NothingIsWrittenBeforeStartOrAfterShutdownOrWithoutSink)
{
    common::log("T::early", 1, L"before start");
    common::startLogging(path_);
    common::setLogSink(nullptr);
    common::log("T::nosink", 2, L"no sink");
    common::setLogSink(&common::logLine);
    common::log("T::middle", 3, L"logged");
    std::string text = stopAndRead();
    common::log("T::late", 4, L"after shutdown");

    EXPECT_EQ(text.find("before start"), std::string::npos);
    EXPECT_EQ(text.find("no sink"), std::string::npos);
    EXPECT_NE(text.find("logged"), std::string::npos);
    EXPECT_EQ(testutil::readFile(path_), text);
}

TEST_F(LogFileTest, ShutdownFlushesEveryPendingLineInOrder)
{
    common::startLogging(path_);
    for (int i = 0; i < 50; ++i)
        common::log("T::burst", i, L"line %d", i);
    std::string text = stopAndRead();
    size_t at = 0;
    for (int i = 0; i < 50; ++i) {
        std::string needle = "line " + std::to_string(i) + "\r\n";
        size_t found = text.find(needle, at);
        ASSERT_NE(found, std::string::npos) << i;
        at = found;
    }
}

TEST_F(LogFileTest, ExistingFileIsAppendedButUtf16FileIsEmptied)
{
    testutil::writeFile(path_, "old line\r\n");
    common::startLogging(path_);
    common::log("T::a", 1, L"new");
    std::string text = stopAndRead();
    EXPECT_EQ(text.rfind("old line\r\n", 0), 0u);
    EXPECT_NE(text.find("new\r\n"), std::string::npos);

    testutil::writeFile(path_, std::string("\xFF\xFE"
                                           "x\0y\0",
                                           6));
    common::startLogging(path_);
    common::log("T::b", 1, L"fresh");
    text = stopAndRead();
    EXPECT_EQ(text.find("\xFF\xFE"), std::string::npos);
    EXPECT_NE(text.find("fresh"), std::string::npos);
}

TEST_F(LogFileTest, FileReachingTheCapKeepsItsLastTwoMegabytes)
{
    // A file just under the cap: one more line takes it over.
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 52428800 - 10;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);

    common::startLogging(path_);
    common::log("T::cap", 1, L"the line that crosses the cap");
    std::string text = stopAndRead();
    ASSERT_EQ(text.size(), 2097152u);
    EXPECT_EQ(text.substr(text.size() - 31), "the line that crosses the cap\r\n");

    // The next start appends again below the cap.
    common::startLogging(path_);
    common::log("T::cap", 2, L"next");
    text = stopAndRead();
    EXPECT_GT(text.size(), 2097152u);
}

TEST_F(LogFileTest, BurstBeyondThePendingLimitDropsLinesButNeverCorrupts)
{
    common::startLogging(path_);
    std::wstring payload(200, L'z');
    for (int i = 0; i < 2000; ++i)
        common::log("T::flood", 1000 + i, L"%s", payload.c_str());
    std::string text = stopAndRead();
    // Every line that was written is whole.
    size_t lines = 0, at = 0;
    while ((at = text.find("\r\n", at)) != std::string::npos) {
        ++lines;
        at += 2;
    }
    EXPECT_GT(lines, 0u);
    EXPECT_LT(lines, 2000u);  // the flood outran the writer: lines were dropped
    EXPECT_EQ(text.size() % (text.find("\r\n") + 2), 0u);
}

}  // namespace
