// The bytes of a resource of a loaded module (skins, fonts, the install
// payload), read where they lie in the module's image.
#pragma once

#include <windows.h>

namespace utility {

// Where a resource lookup stopped.
enum ResourceLookup {
    kResourceFound,
    kResourceNotFound,   // FindResourceW
    kResourceNotLoaded,  // LoadResource
    kResourceNotLocked,  // LockResource
};

struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

// Finds, loads and locks resource `name` of `type` in module (null: the
// program itself). The bytes stay valid while the module is loaded; there is
// nothing to free. Nothing is logged: on failure GetLastError tells why.
ResourceLookup findResource(HMODULE module, LPCWSTR name, LPCWSTR type, ResourceBytes& bytes);

}  // namespace utility
