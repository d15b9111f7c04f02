#include "launcher/menu_wnd.h"

#include "foundation/log.h"
#include "launcher/ui_additions.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/horizontal_layout_ui.h"

using SkinUI::CControlUI;

SKINUI_BEGIN_NOTIFY_MAP(QMMenuWnd, SkinUI::WindowImplBase)
SKINUI_END_NOTIFY_MAP()

const wchar_t QMMenuWnd::kSeparator[] = L"setperater";
const wchar_t QMMenuWnd::kFocusCommand[] = L"menu_focus";

namespace {

QMMenuWnd* g_openMenu = nullptr;

const wchar_t kListName[] = L"menuListLayout";
// Text height the top padding of an item with an image centres on.
const int kTextHeight = 18;

}  // namespace

MenuStyle& MenuStyle::current()
{
    static MenuStyle style;
    return style;
}

QMMenuWnd* QMMenuWnd::openMenu() { return g_openMenu; }

void QMMenuWnd::closeOpenMenu()
{
    if (g_openMenu && g_openMenu->GetHWND())
        ::DestroyWindow(g_openMenu->GetHWND());
}

QMMenuWnd::QMMenuWnd(const CommandCallback& callback) : callback_(callback) {}

bool QMMenuWnd::create(HWND parent)
{
    parent_ = parent;
    if (!Create(parent, L"", kStyle, kExStyle, 0, 0, 0, 0)) {
        common::log("QMMenuWnd::create", __LINE__, L"menu window not created lastError = %d", GetLastError());
        return false;
    }
    g_openMenu = this;
    return true;
}

void QMMenuWnd::InitWindow()
{
    const wchar_t* face = SkinUI::CUiManager::GetLanguageText(L"font_name");
    m_pm.InitFontSet(face ? face : L"");
}

void QMMenuWnd::addItem(const std::wstring& command, const std::wstring& text, const std::wstring& image,
                        const std::wstring& hotImage)
{
    auto* list = m_pm.FindControlAs<SkinUI::CContainerUI>(kListName, L"Container");
    if (!list) {
        common::log("QMMenuWnd::addItem", __LINE__, L"skin has no %s", kListName);
        return;
    }
    const MenuStyle& style = MenuStyle::current();
    SkinUI::CHorizontalLayoutUI* row = new SkinUI::CHorizontalLayoutUI();
    row->SetName(command.c_str());
    if (command == kSeparator) {
        row->SetFixedHeight(1);
        row->SetBkColor(style.hotBkColor);
        list->Add(row);
        return;
    }
    row->SetFixedHeight(style.itemHeight);
    row->SetFixedWidth(style.itemWidth);
    row->SetBkColor(style.rowBkColor);

    SkinUI::CButtonUI* button = new SkinUI::CButtonUI();
    button->SetFixedHeight(style.itemHeight);
    button->SetFixedWidth(style.itemWidth);
    button->SetText(text.c_str());
    button->SetTextColor(style.textColor);
    button->SetHotTextColor(style.hotTextColor);
    button->SetDisabledTextColor(kDisabledTextColor);
    button->SetHotBkColor(style.hotBkColor);
    button->SetFont(1);
    button->SetShowHtml(true);
    if (!image.empty()) {
        button->SetNormalImage(image.c_str());
        button->SetHotImage(hotImage.c_str());
        button->SetPushedImage(hotImage.c_str());
        button->SetAttribute(L"align", L"left");
        button->SetTextPadding({style.imageTextIndent, (style.itemHeight - kTextHeight) / 2, 0, 0});
    }
    row->Add(button);
    list->Add(row);
}

int QMMenuWnd::scaled(int pixels) const { return SkinUI::ScaledClientSize(pixels, pixels).cy; }

int QMMenuWnd::menuHeight() const
{
    auto* list = m_pm.FindControlAs<SkinUI::CContainerUI>(kListName, L"Container");
    int height = 0;
    for (int i = 0; list && i < list->GetCount(); ++i) {
        CControlUI* row = list->GetItemAt(i);
        height += row->GetName() == kSeparator ? 1 : scaled(MenuStyle::current().itemHeight);
    }
    return height;
}

RECT QMMenuWnd::placeMenu(int x, int y, int corner, int width, int height, const RECT& work)
{
    int left = x;
    int top = y;
    if (corner == 0 || corner == 1)
        left = x - width - 1;
    if (corner == 0 || corner == 2)
        top = y - height;
    if (left < work.left)
        left = work.left;
    if (left + width > work.right)
        left = work.right - width;
    if (top < work.top)
        top = work.top;
    if (top + height > work.bottom)
        top = work.bottom - height;
    return {left, top, left + width, top + height};
}

void QMMenuWnd::popup(int x, int y, int corner)
{
    const int width = scaled(MenuStyle::current().itemWidth);
    const int height = menuHeight();
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    HWND anchor = parent_ ? parent_ : m_hWnd;
    if (!GetMonitorInfoW(MonitorFromWindow(anchor, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    const RECT place = placeMenu(x, y, corner, width, height, monitor.rcWork);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, place.left, place.top, width, height, SWP_SHOWWINDOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_hWnd);
}

void QMMenuWnd::finish(const std::wstring& command)
{
    if (finished_)
        return;
    finished_ = true;
    ::ShowWindow(m_hWnd, SW_HIDE);
    Close(IDCANCEL);
    // Copied: the callback may end the process's windows, this one included.
    const CommandCallback callback = callback_;
    if (callback)
        callback(command);
}

LRESULT QMMenuWnd::OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    // Focus moving to a control window of the menu itself is no reason to close.
    if (wParam && ::IsChild(m_hWnd, reinterpret_cast<HWND>(wParam))) {
        bHandled = false;
        return 0;
    }
    finish(kFocusCommand);
    bHandled = true;
    return 0;
}

LRESULT QMMenuWnd::OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    bHandled = false;
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    CControlUI* list = m_pm.FindControl(kListName);
    for (CControlUI* control = m_pm.FindControl(point); control && list; control = control->GetParent()) {
        if (control->GetParent() != list)
            continue;
        if (control->GetName() == kSeparator || !control->IsEnabled())
            return 0;
        bHandled = true;
        finish(control->GetName().GetData());
        return 0;
    }
    return 0;
}

LRESULT QMMenuWnd::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (g_openMenu == this)
        g_openMenu = nullptr;
    return WindowImplBase::OnDestroy(uMsg, wParam, lParam, bHandled);
}

void QMMenuWnd::OnFinalMessage(HWND hWnd)
{
    if (g_openMenu == this)
        g_openMenu = nullptr;
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
