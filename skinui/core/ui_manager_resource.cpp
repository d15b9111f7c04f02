// CUiManager, process-wide side: module instance and platform version, the
// skin folder, the skin archive from the "ZIPRES" resource, skin files on disk
// and in the archive, the language table, fonts, images and enlarge mode.
#include "skinui/core/ui_manager.h"

#include <stdlib.h>

#include <map>
#include <string>

#include "foundation/log.h"
#include "foundation/module_resource.h"
#include "foundation/scoped_gdi.h"
#include "foundation/ufile.h"
#include "foundation/sz/sz_extract.h"
#include "skinui/core/language_table.h"
#include "skinui/core/theme_colors.h"

namespace SkinUI {

namespace {

// A language file on disk larger than this is ignored.
const DWORD kMaxLanguageFileSize = 4 * 1024 * 1024;
// Sizes of the font ids 0 to 8 made by InitFontSet.
const int kFontSetSizes[] = {12, 14, 16, 18, 20, 22, 24, 28, 32};

// Every process-wide table of the framework's resource side.
struct ResourceState {
    HINSTANCE instance = nullptr;
    DWORD majorVersion = 0;
    CUiString language;
    CUiString resourcePath;
    std::map<CUiString, std::string> skinArchive;
    CLanguageTable languageTable;
    UiFontInfo sharedDefaultFont;
    CUiStringMap sharedFonts{83};
    CUiStringMap sharedImages{83};
    CUiPtrArray controlFactories;
    bool enlarge = false;
    float enlargeScale = 1.5f;
    int enlargeFontOffset = 4;

    ResourceState()
    {
        HFONT stock = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        LOGFONTW lf = {};
        ::GetObjectW(stock, sizeof(lf), &lf);
        sharedDefaultFont.hFont = stock;
        sharedDefaultFont.sFontName = lf.lfFaceName;
        sharedDefaultFont.iSize = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
        sharedDefaultFont.bBold = lf.lfWeight >= FW_BOLD;
        sharedDefaultFont.bUnderline = lf.lfUnderline != 0;
        sharedDefaultFont.bItalic = lf.lfItalic != 0;
    }
};

ResourceState& State()
{
    static ResourceState state;
    return state;
}

bool FileOpens(const wchar_t* path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::CloseHandle(file);
    return true;
}

void FillMetrics(UiFontInfo& info, HDC hDC)
{
    info.tm = TEXTMETRICW();
    if (info.hFont == nullptr) {
        return;
    }
    utility::ScopedMemoryDC own;
    HDC dc = hDC;
    if (dc == nullptr) {
        own.reset(::CreateCompatibleDC(nullptr));
        dc = own.get();
        if (dc == nullptr) {
            return;
        }
    }
    utility::ScopedSelection selected(dc, info.hFont);
    ::GetTextMetricsW(dc, &info.tm);
}

HFONT CreateUiFont(const wchar_t* face, int height, bool bold, bool underline, bool italic)
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    if (face != nullptr) {
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    }
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -height;
    if (bold)
        lf.lfWeight += FW_BOLD;
    if (underline)
        lf.lfUnderline = TRUE;
    if (italic)
        lf.lfItalic = TRUE;
    HFONT font = ::CreateFontIndirectW(&lf);
    if (font == nullptr) {
        common::log("CUiManager::AddFont", __LINE__, L"CreateFontIndirectW failed for %s lastError = %d", lf.lfFaceName,
                    static_cast<int>(::GetLastError()));
    }
    return font;
}

CUiString FontKey(int id)
{
    wchar_t key[16];
    _itow(id, key, 10);
    return CUiString(key);
}

void RemoveFonts(CUiStringMap& table)
{
    for (int i = 0; i < table.GetSize(); ++i) {
        const wchar_t* key = table.GetAt(i);
        UiFontInfo* info = key != nullptr ? static_cast<UiFontInfo*>(table.Find(key, false)) : nullptr;
        if (info != nullptr) {
            ::DeleteObject(info->hFont);
            delete info;
        }
    }
    table.RemoveAll();
}

UiFontInfo* FindFontByHandle(CUiStringMap& table, HFONT font)
{
    for (int i = 0; i < table.GetSize(); ++i) {
        const wchar_t* key = table.GetAt(i);
        UiFontInfo* info = key != nullptr ? static_cast<UiFontInfo*>(table.Find(key, false)) : nullptr;
        if (info != nullptr && info->hFont == font) {
            return info;
        }
    }
    return nullptr;
}

UiFontInfo* FindFontByValues(CUiStringMap& table, const wchar_t* face, int size, bool bold, bool underline, bool italic)
{
    for (int i = 0; i < table.GetSize(); ++i) {
        const wchar_t* key = table.GetAt(i);
        UiFontInfo* info = key != nullptr ? static_cast<UiFontInfo*>(table.Find(key, false)) : nullptr;
        if (info != nullptr && info->sFontName == face && info->iSize == size && info->bBold == bold &&
            info->bUnderline == underline && info->bItalic == italic) {
            return info;
        }
    }
    return nullptr;
}

void RemoveImages(CUiStringMap& table)
{
    for (int i = 0; i < table.GetSize(); ++i) {
        const wchar_t* key = table.GetAt(i);
        if (key != nullptr) {
            CDrawKit::FreeImage(static_cast<UiImageInfo*>(table.Find(key, false)), true);
        }
    }
    table.RemoveAll();
}

}  // namespace

// ---- Instance, language code, resource path ----

namespace {

DWORD ReadPlatformMajorVersion()
{
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
        version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));
    }
#pragma GCC diagnostic pop
    return version.dwMajorVersion;
}

}  // namespace

void CUiManager::SetInstance(HINSTANCE hInst)
{
    ResourceState& state = State();
    state.instance = hInst;
    state.majorVersion = ReadPlatformMajorVersion();
    LoadThemeColors();
}

HINSTANCE CUiManager::GetInstance() { return State().instance; }

DWORD CUiManager::GetPlatformMajorVersion()
{
    if (State().majorVersion == 0) {
        State().majorVersion = ReadPlatformMajorVersion();
    }
    return State().majorVersion;
}

CUiString CUiManager::GetInstancePath()
{
    if (State().instance == nullptr) {
        return CUiString();
    }
    wchar_t path[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(State().instance, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash == nullptr) {
        return CUiString();
    }
    slash[1] = L'\0';
    return CUiString(path);
}

void CUiManager::SetLanguage(const wchar_t* code, const wchar_t* fallback)
{
    State().language = (code != nullptr && code[0] != L'\0') ? code : fallback;
}

const CUiString& CUiManager::GetLanguage() { return State().language; }

void CUiManager::SetResourcePath(const wchar_t* path)
{
    CUiString& stored = State().resourcePath;
    stored.Empty();
    if (path == nullptr || path[0] == L'\0') {
        return;
    }
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE) {
        common::log("CUiManager::SetResourcePath", __LINE__, L"no skin folder %s lastError = %d", path,
                    static_cast<int>(::GetLastError()));
        return;
    }
    ::FindClose(find);
    stored = path;
    wchar_t last = stored[stored.GetLength() - 1];
    if (last != L'\\' && last != L'/') {
        stored += L'\\';
    }
}

const CUiString& CUiManager::GetResourcePath() { return State().resourcePath; }

// ---- Skin archive and skin files ----

void CUiManager::LoadZipResource(UINT resourceID, const wchar_t* languageFile)
{
    ResourceState& state = State();
    utility::ResourceBytes archive;
    utility::findResource(state.instance, MAKEINTRESOURCEW(resourceID), L"ZIPRES", archive);
    const void* bytes = archive.data;
    const DWORD size = archive.size;
    if (bytes == nullptr || size == 0) {
        common::log("CUiManager::LoadZipResource", __LINE__, L"no ZIPRES resource %d lastError = %d",
                    static_cast<int>(resourceID), static_cast<int>(::GetLastError()));
    } else {
        int files = 0;
        SzResultCode result = SzExtractInMemory(bytes, size,
                                                [&state, &files](const std::wstring& name, const std::string& data) {
                                                    state.skinArchive[CUiString(name)] = data;
                                                    ++files;
                                                });
        common::log("CUiManager::LoadZipResource", __LINE__, L"skin archive %d files, result %d lastError = %d", files,
                    static_cast<int>(result), 0);
    }
    if (languageFile != nullptr && languageFile[0] != L'\0') {
        LoadLanguageFile(languageFile);
    }
}

LPBYTE CUiManager::LoadSkinData(const wchar_t* name, DWORD& size)
{
    size = 0;
    if (name == nullptr || name[0] == L'\0') {
        return nullptr;
    }
    const ResourceState& state = State();
    bool absolute = name[1] == L':';
    CUiString diskPath;
    if (absolute) {
        diskPath = name;
    } else if (!state.resourcePath.IsEmpty()) {
        diskPath = state.resourcePath + name;
    }
    LPBYTE data = diskPath.IsEmpty() ? nullptr : utility::ufile::readWholeFile(diskPath.GetData(), size).release();
    if (data != nullptr) {
        return data;
    }
    CUiString archiveName(name);
    archiveName.Replace(L"\\", L"/");
    std::map<CUiString, std::string>::const_iterator it = state.skinArchive.find(archiveName);
    if (it == state.skinArchive.end() || it->second.empty()) {
        return nullptr;
    }
    size = static_cast<DWORD>(it->second.size());
    data = new BYTE[size];
    memcpy(data, it->second.data(), size);
    return data;
}

// ---- Language table ----

void CUiManager::LoadLanguageFile(const wchar_t* name)
{
    if (name == nullptr || name[0] == L'\0') {
        return;
    }
    CUiString instancePath = GetInstancePath();
    if (!instancePath.IsEmpty()) {
        CUiString path = instancePath + name;
        if (FileOpens(path)) {
            DWORD size = 0;
            std::unique_ptr<BYTE[]> data = utility::ufile::readWholeFile(path.GetData(), size, kMaxLanguageFileSize);
            if (data) {
                LoadLanguageTable(data.get(), size);
            } else {
                common::log("CUiManager::LoadLanguageFile", __LINE__, L"language file %s unusable lastError = %d",
                            path.GetData(), static_cast<int>(::GetLastError()));
            }
            return;
        }
    }
    DWORD size = 0;
    LPBYTE data = LoadSkinData(name, size);
    if (data != nullptr && size > 10) {
        LoadLanguageTable(data, size);
    } else {
        common::log("CUiManager::LoadLanguageFile", __LINE__, L"language file %s not found lastError = %d", name, 0);
    }
    delete[] data;
}

void CUiManager::LoadLanguageTable(const BYTE* data, DWORD size)
{
    State().languageTable.Load(data, size, State().language);
}

const wchar_t* CUiManager::GetLanguageText(const wchar_t* key) { return State().languageTable.Find(key); }

void CUiManager::SetLanguageText(const wchar_t* key, const wchar_t* text)
{
    if (key == nullptr) {
        return;
    }
    State().languageTable.Set(key, text);
}

void CUiManager::ProcessLanguageText(CUiString& text)
{
    if (text.GetLength() <= 1 || text[0] != L'@') {
        return;
    }
    const wchar_t* found = GetLanguageText(text.GetData() + 1);
    if (found != nullptr) {
        text = CUiString(found);
    }
}

const wchar_t* CUiManager::GetLanguageTextA(const char* key)
{
    wchar_t wide[128] = {};
    if (key != nullptr) {
        int units = ::MultiByteToWideChar(CP_UTF8, 0, key, -1, wide, 127);
        if (units <= 0) {
            // Longer than 127 characters: keep the first 127.
            ::MultiByteToWideChar(CP_UTF8, 0, key, 127, wide, 127);
            wide[127] = L'\0';
        }
    }
    const wchar_t* found = GetLanguageText(wide);
    if (found != nullptr) {
        return found;
    }
    return State().languageTable.Set(wide, wide);
}

const wchar_t* CUiManager::GetLanguageEntry(int index, bool displayName)
{
    const CUiStringRow& row = displayName ? State().languageTable.GetNames() : State().languageTable.GetCodes();
    size_t at = static_cast<size_t>(index) + 2;
    if (index < 0 || at >= State().languageTable.GetCodes().size() || at >= State().languageTable.GetNames().size()) {
        return nullptr;
    }
    return row[at].GetData();
}

int CUiManager::GetLanguageCount()
{
    int count = static_cast<int>(State().languageTable.GetCodes().size());
    return count > 2 ? count - 2 : 0;
}

CUiPtrArray* CUiManager::GetControlFactories() { return &State().controlFactories; }

// ---- Enlarge mode ----

bool CUiManager::IsEnlargeMode() { return State().enlarge; }
void CUiManager::SetEnlargeMode(bool enlarge) { State().enlarge = enlarge; }
float CUiManager::GetEnlargeScale() { return State().enlargeScale; }
int CUiManager::GetEnlargeFontOffset() { return State().enlargeFontOffset; }

// ---- Fonts ----

HFONT CUiManager::AddFont(int id, const wchar_t* face, int size, bool bold, bool underline, bool italic, bool shared)
{
    HFONT font = CreateUiFont(face, size, bold, underline, italic);
    if (font == nullptr) {
        return nullptr;
    }
    UiFontInfo* info = new UiFontInfo;
    info->hFont = font;
    info->sFontName = face;
    info->iSize = size;
    info->bBold = bold;
    info->bUnderline = underline;
    info->bItalic = italic;
    if (GetPaintDC() != nullptr) {
        FillMetrics(*info, GetPaintDC());
    }
    CUiStringMap& table = (shared || m_bUseSharedResources) ? State().sharedFonts : m_CustomFonts;
    CUiString key = FontKey(id);
    UiFontInfo* old = static_cast<UiFontInfo*>(table.Find(key, false));
    if (old != nullptr) {
        ::DeleteObject(old->hFont);
        delete old;
        table.Remove(key);
    }
    if (!table.Insert(key, info)) {
        ::DeleteObject(font);
        delete info;
        return nullptr;
    }
    return font;
}

void CUiManager::SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic, bool shared)
{
    int height = IsEnlargeMode() ? static_cast<int>(size * GetEnlargeScale()) : size;
    HFONT font = CreateUiFont(face, height, bold, underline, italic);
    if (font == nullptr) {
        return;
    }
    UiFontInfo& info = shared ? State().sharedDefaultFont : m_DefaultFontInfo;
    if (info.hFont != nullptr) {
        ::DeleteObject(info.hFont);
    }
    info.hFont = font;
    info.sFontName = face;
    info.iSize = size;
    info.bBold = bold;
    info.bUnderline = underline;
    info.bItalic = italic;
    info.tm = TEXTMETRICW();
    if (GetPaintDC() != nullptr) {
        FillMetrics(info, GetPaintDC());
    }
}

void CUiManager::InitFontSet(const wchar_t* face)
{
    SetDefaultFont(face, 12, false, false, false, true);
    for (int id = 0; id < static_cast<int>(sizeof(kFontSetSizes) / sizeof(kFontSetSizes[0])); ++id) {
        AddFont(id, face, kFontSetSizes[id], false, false, false, true);
    }
}

HFONT CUiManager::GetFont(int id) { return GetFontInfo(id)->hFont; }

HFONT CUiManager::GetFont(const wchar_t* face, int size, bool bold, bool underline, bool italic)
{
    if (face == nullptr) {
        return nullptr;
    }
    UiFontInfo* info = FindFontByValues(m_CustomFonts, face, size, bold, underline, italic);
    if (info == nullptr) {
        info = FindFontByValues(State().sharedFonts, face, size, bold, underline, italic);
    }
    return info != nullptr ? info->hFont : nullptr;
}

UiFontInfo* CUiManager::GetFontInfo(int id)
{
    UiFontInfo* info = nullptr;
    if (id >= 0) {
        CUiString key = FontKey(id);
        info = static_cast<UiFontInfo*>(m_CustomFonts.Find(key));
        if (info == nullptr) {
            info = static_cast<UiFontInfo*>(State().sharedFonts.Find(key));
        }
    }
    if (info == nullptr) {
        return GetDefaultFontInfo();
    }
    if (info->tm.tmHeight == 0) {
        FillMetrics(*info, GetPaintDC());
    }
    return info;
}

UiFontInfo* CUiManager::GetFontInfo(HFONT hFont)
{
    UiFontInfo* info = FindFontByHandle(m_CustomFonts, hFont);
    if (info == nullptr) {
        info = FindFontByHandle(State().sharedFonts, hFont);
    }
    if (info == nullptr) {
        return GetDefaultFontInfo();
    }
    if (info->tm.tmHeight == 0) {
        FillMetrics(*info, GetPaintDC());
    }
    return info;
}

UiFontInfo* CUiManager::GetDefaultFontInfo()
{
    UiFontInfo& info = !m_DefaultFontInfo.sFontName.IsEmpty() ? m_DefaultFontInfo : State().sharedDefaultFont;
    if (info.tm.tmHeight == 0) {
        FillMetrics(info, GetPaintDC());
    }
    return &info;
}

void CUiManager::RemoveAllFonts(bool shared) { RemoveFonts(shared ? State().sharedFonts : m_CustomFonts); }

// ---- Images ----

const UiImageInfo* CUiManager::GetImage(const wchar_t* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    const UiImageInfo* info = static_cast<const UiImageInfo*>(m_ImageHash.Find(name));
    if (info == nullptr) {
        info = static_cast<const UiImageInfo*>(State().sharedImages.Find(name));
    }
    return info;
}

const UiImageInfo* CUiManager::GetImageEx(const wchar_t* name, const wchar_t* type, DWORD mask, bool useHSL,
                                          bool shared)
{
    const UiImageInfo* info = GetImage(name);
    if (info == nullptr) {
        AddImage(name, type, mask, useHSL, shared);
        info = GetImage(name);
    }
    return info;
}

const UiImageInfo* CUiManager::AddImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool useHSL, bool shared)
{
    if (name == nullptr || name[0] == L'\0') {
        return nullptr;
    }
    UiImageInfo* info = nullptr;
    const bool colour = type != nullptr && wcscmp(type, L"*COLOR*") == 0;
    if (type != nullptr && type[0] != L'\0' && !colour && name[0] >= L'0' && name[0] <= L'9') {
        info = CDrawKit::LoadImage(CUiStringOrId(static_cast<unsigned int>(_wtoi(name))), type, mask);
    } else {
        info = CDrawKit::LoadImage(name, type, mask);
    }
    if (info == nullptr) {
        return nullptr;
    }
    if (useHSL) {
        size_t bytes = static_cast<size_t>(info->nX) * info->nY * 4;
        info->pSrcBits = new BYTE[bytes];
        memcpy(info->pSrcBits, info->pBits, bytes);
        info->bUseHSL = true;
    }
    CUiStringMap& table = (shared || m_bUseSharedResources) ? State().sharedImages : m_ImageHash;
    if (!table.Insert(name, info)) {
        CDrawKit::FreeImage(info, true);
        return static_cast<const UiImageInfo*>(table.Find(name));
    }
    return info;
}

void CUiManager::RemoveAllImages(bool shared) { RemoveImages(shared ? State().sharedImages : m_ImageHash); }

}  // namespace SkinUI
