#include "module_resource.h"

namespace utility {

ResourceLookup findResource(HMODULE module, LPCWSTR name, LPCWSTR type, ResourceBytes& bytes)
{
    bytes = ResourceBytes();
    HRSRC resource = FindResourceW(module, name, type);
    if (!resource)
        return kResourceNotFound;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded)
        return kResourceNotLoaded;
    const void* data = LockResource(loaded);
    if (!data)
        return kResourceNotLocked;
    bytes.data = data;
    bytes.size = SizeofResource(module, resource);
    return kResourceFound;
}

}  // namespace utility
