// QMMenuWnd: the launcher's small skinned popup menu. Each item is a row
// named after its command holding one button with the item's text; a press
// on an enabled row hands the command name to the menu's callback and closes
// the menu, and losing the focus closes it with "menu_focus". At most one
// menu is open in the process; it deletes itself when its window is gone.
//
// The look of the rows comes from the process-wide MenuStyle, read when the
// items are added: a caller sets it before building its menu.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "skinui/core/window_impl_base.h"

struct MenuStyle {
    int itemHeight = 38;
    int itemWidth = 120;
    DWORD rowBkColor = 0xFF212121;
    DWORD textColor = 0xFFE4E4E4;
    DWORD hotTextColor = 0xFFE4E4E4;
    DWORD hotBkColor = 0xFF3E3E3E;
    int imageTextIndent = 42;

    static MenuStyle& current();
};

class QMMenuWnd : public SkinUI::WindowImplBase {
public:
    typedef std::function<void(const std::wstring&)> CommandCallback;

    // Rows of this name are separators, 1 pixel high.
    static const wchar_t kSeparator[];
    static const wchar_t kFocusCommand[];
    static const DWORD kStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;
    static const DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    static const DWORD kDisabledTextColor = 0xFFBBBFC3;

    // The open menu, if any.
    static QMMenuWnd* openMenu();
    // Closes the open menu, if any.
    static void closeOpenMenu();

    explicit QMMenuWnd(const CommandCallback& callback);
    // Only for a menu whose window was never made; a made one deletes itself.
    ~QMMenuWnd() override = default;

    // Makes the (hidden) menu window; the menu becomes the open one.
    bool create(HWND parent);
    // A row named command with a button; images may be empty.
    void addItem(const std::wstring& command, const std::wstring& text, const std::wstring& image,
                 const std::wstring& hotImage);
    // Shows the menu at (x, y) by its corner (0: above left, 1: below left,
    // 2: above right, 3: below right of the point), kept inside the work area
    // of the parent's monitor.
    void popup(int x, int y, int corner);

    // The menu's rectangle for a point and corner, moved into the work area.
    static RECT placeMenu(int x, int y, int corner, int width, int height, const RECT& work);

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"assistantupdateframe"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"xml_menu.xml"; }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    // Runs the callback once and closes the menu.
    void finish(const std::wstring& command);
    int menuHeight() const;
    int scaled(int pixels) const;

    CommandCallback callback_;
    HWND parent_ = nullptr;
    bool finished_ = false;
};
