#include "install/skin_resource.h"

#include "skinui/controls/control_elements.h"
#include "skinui/core/ui_manager.h"

namespace {
const UINT kSkinResourceId = 129;
const wchar_t kLanguageFile[] = L"multi_language.tsv";
}  // namespace

void initSkinResource(HINSTANCE instance, const std::wstring& locale)
{
    SkinUI::CUiManager::SetInstance(instance);
    SkinUI::RegisterControlElements();
    SkinUI::CUiManager::SetLanguage(locale.c_str(), L"en_US");
    SkinUI::CUiString skinFolder = SkinUI::CUiManager::GetInstancePath();
    skinFolder += L"skin";
    SkinUI::CUiManager::SetResourcePath(skinFolder);
    SkinUI::CUiManager::LoadZipResource(kSkinResourceId, kLanguageFile);
}
