// CListUI: a list of rows under an optional column header. It is a vertical
// layout of exactly two children, the header (CListHeaderUI, child 0) and the
// body (CListBodyUI, child 1) that holds the rows; everything that treats the
// list as a container (rows added, removed, counted, indexed, scrolled) goes
// to the body, except header controls and header items, which go to the
// header. The list keeps one selection, moved by clicks, keys and (with
// "scrollselect") the wheel and sent as "itemselect"; an expanded row; the
// text callback of multi-column rows; and the UiListInfo its rows paint by.
#pragma once

#include <windows.h>

#include "skinui/controls/list_info.h"
#include "skinui/controls/vertical_layout_ui.h"

namespace SkinUI {

class CListHeaderUI;
class CListBodyUI;

class CListUI : public CVerticalLayoutUI, public IListUI {
public:
    CListUI();
    ~CListUI() override;

    // CControlUI
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // IContainerUI: the rows (header controls and items go to the header).
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex) override;
    int GetCount() const override;
    // A header item past the column cap is refused (false, the caller keeps it).
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // The current header is refused: the list cannot be without one.
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;

    // The body's padding and scrolling (the list itself has no bars).
    int GetChildPadding() const override;
    void SetChildPadding(int padding) override;
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE szPos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;
    void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

    // IListOwnerUI, IListUI
    UiListInfo* GetListInfo() override { return &m_ListInfo; }
    int GetCurSel() const override { return m_iCurSel; }
    bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override { return m_iExpandedItem; }
    CListHeaderUI* GetHeader() const override { return m_pHeader; }
    CListBodyUI* GetList() const override { return m_pList; }
    IListTextCallbackUI* GetTextCallback() const override { return m_pCallback; }
    void SetTextCallback(IListTextCallbackUI* callback) override { m_pCallback = callback; }

    bool IsScrollSelect() const { return m_bScrollSelect; }
    void SetScrollSelect(bool scrollSelect) { m_bScrollSelect = scrollSelect; }
    // Scrolls the body vertically until the row shows (while a row is selected).
    void EnsureVisible(int index);
    void Scroll(int dx, int dy);
    // The body scrolled sideways by dx: the header items follow (on their
    // own row) and become the new column rectangles.
    void ShiftColumns(int dx);

    // The rows' look (UiListInfo).
    void SetItemFont(int font) { m_ListInfo.nFont = font; }
    void SetItemTextStyle(UINT style) { m_ListInfo.uTextStyle = style; }
    void SetItemTextPadding(RECT rc);
    void SetItemHeight(int height) { m_ListInfo.nItemHeight = height; }
    void SetMultiExpanding(bool multi) { m_ListInfo.bMultiExpandable = multi; }
    void SetItemTextColor(DWORD color) { SetInfoColor(m_ListInfo.dwTextColor, color); }
    void SetItemBkColor(DWORD color) { SetInfoColor(m_ListInfo.dwBkColor, color); }
    void SetSelectedItemTextColor(DWORD color) { SetInfoColor(m_ListInfo.dwSelectedTextColor, color); }
    void SetSelectedItemBkColor(DWORD color) { SetInfoColor(m_ListInfo.dwSelectedBkColor, color); }
    void SetHotItemTextColor(DWORD color) { SetInfoColor(m_ListInfo.dwHotTextColor, color); }
    void SetHotItemBkColor(DWORD color) { SetInfoColor(m_ListInfo.dwHotBkColor, color); }
    void SetDisabledItemTextColor(DWORD color) { SetInfoColor(m_ListInfo.dwDisabledTextColor, color); }
    void SetDisabledItemBkColor(DWORD color) { SetInfoColor(m_ListInfo.dwDisabledBkColor, color); }
    void SetItemHLineColor(DWORD color) { SetInfoColor(m_ListInfo.dwHLineColor, color); }
    void SetItemVLineColor(DWORD color) { SetInfoColor(m_ListInfo.dwVLineColor, color); }
    void SetItemBkImage(const wchar_t* description) { SetInfoImage(m_ListInfo.diBk, description); }
    void SetSelectedItemImage(const wchar_t* description) { SetInfoImage(m_ListInfo.diSelected, description); }
    void SetHotItemImage(const wchar_t* description) { SetInfoImage(m_ListInfo.diHot, description); }
    void SetDisabledItemImage(const wchar_t* description) { SetInfoImage(m_ListInfo.diDisabled, description); }
    void SetAlternateBk(bool alternate);
    void SetItemHLineSize(int size);
    void SetItemVLineSize(int size);
    void SetItemShowHtml(bool showHtml);

private:
    // What a control handed to the container operations is to the list.
    enum Part { kHeader, kHeaderItem, kRow };
    static Part PartOf(CControlUI* control);
    bool AddHeader(CControlUI* header);
    bool AddHeaderItem(CControlUI* item, int index);
    // Rows from..to (inclusive, clamped) learn their index again.
    void RenumberRows(int from, int to);
    // The column count and rectangles from the header items, each moved
    // sideways by -shift first. A hidden header's items are measured too;
    // headerPos, when given, places the header after they are shown.
    void UpdateColumns(const RECT* headerPos, int shift);
    void SetInfoColor(DWORD& field, DWORD color);
    void SetInfoImage(UiDrawInfo& info, const wchar_t* description);

    bool m_bScrollSelect;
    int m_iCurSel;
    int m_iExpandedItem;
    IListTextCallbackUI* m_pCallback;
    CListBodyUI* m_pList;
    CListHeaderUI* m_pHeader;
    UiListInfo m_ListInfo;
};

}  // namespace SkinUI
