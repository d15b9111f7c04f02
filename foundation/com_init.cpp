#include "foundation/com_init.h"

#include <objbase.h>
#include <ole2.h>

namespace utility {

ScopedComInit::ScopedComInit() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}

void ScopedComInit::end()
{
    if (ok_)
        CoUninitialize();
    ok_ = false;
}

ScopedOleInit::ScopedOleInit() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}

void ScopedOleInit::end()
{
    if (ok_)
        OleUninitialize();
    ok_ = false;
}

}  // namespace utility
