// What the list family shares: UiListInfo, the one appearance record that
// every row of a list or a combo box reads when it paints; the interfaces
// through which rows and their owner meet (IListOwnerUI, IListUI,
// IListItemUI, IListTextCallbackUI); and the pieces every row class uses
// alike: the item attributes that land in UiListInfo, the row invalidation
// and the row background by state.
#pragma once

#include <windows.h>

#include "skinui/core/control_ui.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_event.h"
#include "skinui/core/ui_string.h"

namespace SkinUI {

class CListHeaderUI;
class CListBodyUI;

// UiListInfo has room for this many column rectangles: a header with more
// items uses only the first ones as columns.
const int UILIST_MAX_COLUMNS = 64;

// The appearance of all rows of one owner (list or combo box).
struct UiListInfo {
    int nColumns = 0;
    RECT rcColumn[UILIST_MAX_COLUMNS] = {};  // window coordinates of each header item
    int nItemHeight = 0;                     // "itemheight"; 0: rows measure their text
    int nFont = -1;                          // -1: the window's default font
    UINT uTextStyle = DT_VCENTER | DT_SINGLELINE;
    RECT rcTextPadding = {};
    DWORD dwTextColor = 0xFF000000;
    DWORD dwBkColor = 0;
    UiDrawInfo diBk;
    bool bAlternateBk = false;
    // With bAlternateBk, rows whose draw index has this parity get no background.
    BYTE uPlainParity = 1;
    DWORD dwSelectedTextColor = 0xFF000000;
    DWORD dwSelectedBkColor = 0xFFC1E3FF;
    UiDrawInfo diSelected;
    DWORD dwHotTextColor = 0xFF000000;
    DWORD dwHotBkColor = 0xFFE9F5FF;
    UiDrawInfo diHot;
    DWORD dwDisabledTextColor = 0xFFCCCCCC;
    DWORD dwDisabledBkColor = 0xFFFFFFFF;
    UiDrawInfo diDisabled;
    int iHLineSize = 0;
    DWORD dwHLineColor = 0xFF3C3C3C;
    int iVLineSize = 0;
    DWORD dwVLineColor = 0xFF3C3C3C;
    bool bShowHtml = false;
    bool bMultiExpandable = false;
};

// The owner of rows, reached through GetInterface(L"IListOwner"): the list
// and the combo box. DoEvent receives what the rows do not handle.
class IListOwnerUI {
public:
    virtual UiListInfo* GetListInfo() = 0;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) = 0;
    virtual void DoEvent(UiEvent& event) = 0;
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    virtual int GetExpandedItem() const = 0;

protected:
    ~IListOwnerUI() {}
};

// The texts of multi-column rows, supplied and owned by the application.
class IListTextCallbackUI {
public:
    virtual CUiString GetItemText(CControlUI* row, int index, int column) = 0;

protected:
    ~IListTextCallbackUI() {}
};

// The list as its rows see it (GetInterface(L"IList")).
class IListUI : public IListOwnerUI {
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    virtual CListBodyUI* GetList() const = 0;
    virtual IListTextCallbackUI* GetTextCallback() const = 0;
    virtual void SetTextCallback(IListTextCallbackUI* callback) = 0;

protected:
    ~IListUI() {}
};

// A row (GetInterface(L"IListItem")).
class IListItemUI {
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual int GetDrawIndex() const = 0;
    virtual void SetDrawIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() = 0;
    // The owner becomes the control's "IListOwner" part; null changes nothing.
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true, bool sendNotify = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    // The row's text inside rc less the owner's text padding.
    virtual void DrawItemTextInColor(HDC hDC, const RECT& rc, DWORD color) = 0;
    virtual void DrawItemText(HDC hDC, const RECT& rc) = 0;

protected:
    ~IListItemUI() {}
};

// The item colours and images that the list and the combo box take alike
// ("itemtextcolor", "itemselectedimage", ...): where the attribute lands in
// info, or null when name is not one of them.
DWORD* ListInfoColor(UiListInfo& info, const wchar_t* name);
UiDrawInfo* ListInfoImage(UiListInfo& info, const wchar_t* name);

// DrawText style bits of the alignment words, as the list's "itemalign" and
// "itemvalign" and the header item's "align" and "valign" read them: each of
// "left", "center", "right" (or "top", "vcenter", "bottom") found in the
// value is applied in that order, so the last one found wins.
UINT ApplyAlignWords(UINT style, const wchar_t* value);
UINT ApplyVAlignWords(UINT style, const wchar_t* value);
// "true": word breaks instead of a single line; anything else sets the single
// line again (the word-break bit stays as it was).
UINT ApplyMultiLine(UINT style, bool multiLine);

// The part of a row that shows: its rectangle inside its parent's client
// area (less the inset and the visible bars), clipped by every further
// ancestor. Nothing for a hidden row; a plain Invalidate outside a container.
void InvalidateListRow(CControlUI& row);

// What the text rows and the container rows do alike, for the row control
// and its IListItemUI part:
// Activate: the control's own activation, then "itemactivate".
bool ActivateListRow(CControlUI& row);
// A double click, or Return where the row takes keys, activates the row and
// repaints it. True when the event was taken.
bool DoListRowActivation(CControlUI& row, const UiEvent& event);
// A press sends "itemclick" and selects the row; entering and leaving it
// turns the hot bit of buttonState on and off; releases and moves go no
// further. True when the event was taken.
bool DoListRowMouse(CControlUI& row, IListItemUI& item, UINT& buttonState, const UiEvent& event);
// After SetVisible: a row that is hidden now is no longer selected, nor its
// owner's selection.
void DeselectHiddenListRow(CControlUI& row, bool& selected, IListOwnerUI* owner);

// The state a row paints its background by.
struct UiRowState {
    int drawIndex;
    bool selected;
    bool hot;
    bool enabled;
};

// Fills the row with the colour of its state and draws the first image of its
// state that draws. The plain rows let each state colour replace the one
// before (selected, then hot, then disabled); container rows take hot, then
// selected, then disabled, each only when set. ownImage is the row's own
// background image.
void PaintListRowBackground(HDC hDC, CControlUI& row, UiDrawInfo& ownImage, UiListInfo& info, const UiRowState& state,
                            bool containerRow);

}  // namespace SkinUI
