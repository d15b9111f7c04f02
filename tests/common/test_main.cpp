#include <gtest/gtest.h>

#include "foundation/system_dll.h"

// Every program of the project is built with -municode, so the tests' entry is wmain too.
int wmain(int argc, wchar_t** argv)
{
    utility::restrictDllSearch();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
