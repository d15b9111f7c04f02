#include "launcher/folder_dialog.h"

#include <shlobj.h>

#include "foundation/log.h"
#include "skinui/core/ui_manager.h"
#ifdef ZUL_TEST_HOOKS
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#endif

namespace view {

namespace {

int CALLBACK selectStartFolder(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data)
        ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

#ifdef ZUL_TEST_HOOKS
// Test builds only: when ZUL_TEST_FOLDER_CHOICE names a file, its UTF-8
// content is the folder the user chose, and no dialog opens. A program test
// cannot drive the system's dialog, but it can check everything around it.
bool testChoice(std::wstring& chosen)
{
    wchar_t file[MAX_PATH] = {0};
    const DWORD length = ::GetEnvironmentVariableW(L"ZUL_TEST_FOLDER_CHOICE", file, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    DWORD size = 0;
    std::unique_ptr<BYTE[]> bytes = utility::ufile::readWholeFile(file, size, MAX_PATH * 4);
    chosen = bytes ? utility::ustring::fromUtf8(std::string(reinterpret_cast<const char*>(bytes.get()), size))
                   : std::wstring();
    return true;
}
#endif

}  // namespace

std::wstring browseForFolder(HWND owner, const std::wstring& start)
{
#ifdef ZUL_TEST_HOOKS
    std::wstring testFolder;
    if (testChoice(testFolder)) {
        common::log("view::browseForFolder", __LINE__, L"folder dialog at [%s]: test choice [%s]", start.c_str(),
                    testFolder.c_str());
        return testFolder;
    }
#endif
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    const wchar_t* title = SkinUI::CUiManager::GetLanguageText(L"launcher_browse_title");
    info.lpszTitle = title != nullptr ? title : L"Install Path";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = &selectStartFolder;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen)
        return std::wstring();
    wchar_t path[MAX_PATH] = {0};
    const BOOL named = ::SHGetPathFromIDListW(chosen, path);
    ::CoTaskMemFree(chosen);
    return named ? std::wstring(path) : std::wstring();
}

}  // namespace view
