#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "foundation/system_dll.h"

// Every program of the project is built with -municode, so the tests' entry is wmain too.
int wmain(int argc, wchar_t** argv)
{
    utility::restrictDllSearch();
    testing::InitGoogleTest(&argc, argv);
    // The report's place is read: the programs this run starts (a second run
    // of this program, for one) must not write this run's report, whose
    // presence tells the test world that this run came to its end.
    SetEnvironmentVariableW(L"GTEST_OUTPUT", nullptr);
    const int result = RUN_ALL_TESTS();
    if (result != 0)
        return result;
    // A run must have tested something: a filter that matches nothing after
    // a rename, a program without cases, or cases that skipped, fail it. A
    // case that cannot run in one entry of its program runs in another,
    // whose filter picks it.
    const std::string filter = GTEST_FLAG_GET(filter);
    const testing::UnitTest& run = *testing::UnitTest::GetInstance();
    if (run.test_to_run_count() == 0) {
        std::printf("test_main: this run picked no test case (filter %s)\n", filter.c_str());
        return 1;
    }
    if (run.skipped_test_count() > 0) {
        std::printf("test_main: %d of the cases this run picked (filter %s) skipped\n", run.skipped_test_count(),
                    filter.c_str());
        return 1;
    }
    return 0;
}
