#include "launcher/folder_dialog.h"

#include <shlobj.h>

namespace view {

namespace {

int CALLBACK selectStartFolder(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data)
        ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

std::wstring browseForFolder(HWND owner, const std::wstring& start)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = L"Install Path";
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
