#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/system_dll.h"

// Every program of the project is built with -municode, so the tests' entry is wmain too.
int wmain(int argc, wchar_t** argv)
{
    utility::restrictDllSearch();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (result != 0)
        return result;
    // A run that picks its cases by name must have tested something: a filter
    // that matches nothing after a rename, or cases that skipped, fail it.
    const std::string filter = GTEST_FLAG_GET(filter);
    if (filter == "*")
        return 0;
    const testing::UnitTest& run = *testing::UnitTest::GetInstance();
    if (run.test_to_run_count() == 0) {
        std::printf("test_main: the filter %s picked no test case\n", filter.c_str());
        return 1;
    }
    if (run.skipped_test_count() > 0) {
        std::printf("test_main: %d of the cases the filter %s picked skipped\n", run.skipped_test_count(),
                    filter.c_str());
        return 1;
    }
    return 0;
}
