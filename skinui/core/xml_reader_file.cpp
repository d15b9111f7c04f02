// CXmlReader::LoadFromFile lives apart from the parser so that code which
// only parses text does not pull in the window manager.
#include "skinui/core/xml_reader.h"

#include "foundation/log.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

bool CXmlReader::LoadFromFile(const wchar_t* name, int encoding)
{
    // The name may come from the current document: it is read before the
    // document is released.
    DWORD size = 0;
    LPBYTE data = CUiManager::LoadSkinData(name, size);
    if (data == nullptr) {
        common::log("CXmlReader::LoadFromFile", __LINE__, L"skin file %s not found", name == nullptr ? L"" : name);
        Fail(L"Skin file not found", name == nullptr ? L"" : name);
        Release();
        return false;
    }
    const bool loaded = LoadFromMem(data, size, encoding);
    delete[] data;
    return loaded;
}

}  // namespace SkinUI
