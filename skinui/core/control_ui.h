// CControlUI: the base of every control. It holds the control's place in the
// tree, its geometry, state, texts, colours, background image and border, its
// custom attributes and its seven event sources; it turns skin attributes into
// settings, paints itself in a fixed order and receives input as UiEvent.
#pragma once

#include <windows.h>

#include "skinui/core/draw_kit.h"
#include "skinui/core/life_guard.h"
#include "skinui/core/ui_event.h"
#include "skinui/core/ui_event_source.h"
#include "skinui/core/ui_string.h"
#include "skinui/core/ui_string_map.h"
#include "skinui/core/ui_types.h"

namespace SkinUI {

class CUiManager;
class CControlUI;

// Search callback of FindControl: a non-null answer ends the search.
typedef CControlUI*(CALLBACK* FINDCONTROLPROC)(CControlUI* control, LPVOID data);

// Relative anchoring of a float control inside its parent (fractions of its size).
struct UiFloatPercent {
    double left;
    double top;
    double right;
    double bottom;
};

class CControlUI {
public:
    CControlUI();

    // Takes the control off the manager's mouse-leave list, then destroys it.
    virtual void Delete();
    virtual ~CControlUI();

    virtual CUiString GetName() const;
    virtual void SetName(const wchar_t* name);
    virtual const wchar_t* GetClass() const;
    virtual LPVOID GetInterface(const wchar_t* name);
    virtual UINT GetControlFlags() const;
    virtual HWND GetNativeWindow() const;
    virtual bool Activate();
    virtual CUiManager* GetManager() const;
    virtual void SetManager(CUiManager* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;
    virtual CControlUI* GetCover() const;
    virtual void SetCover(CControlUI* control);

    virtual CUiString GetText() const;
    virtual void SetText(const wchar_t* text);

    virtual const RECT& GetPos() const;
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    virtual void SetPos(RECT rc, bool needInvalidate = true);
    virtual void Move(int dx, int dy, bool needInvalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT rcPadding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE szXY);
    virtual UiFloatPercent GetFloatPercent() const;
    virtual void SetFloatPercent(UiFloatPercent percent);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);

    virtual CUiString GetToolTip() const;
    virtual void SetToolTip(const wchar_t* text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual wchar_t GetShortcut() const;
    virtual void SetShortcut(wchar_t ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool menuUsed);
    virtual const CUiString& GetUserData();
    virtual void SetUserData(const wchar_t* text);
    virtual int GetTag() const;
    virtual void SetTag(int tag);

    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    virtual void SetVisibleKeepFocus(bool visible = true);
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloat = true);

    virtual CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags);

    virtual void Init();
    virtual void DoInit();
    virtual void Event(UiEvent& event);
    virtual void DoEvent(UiEvent& event);

    virtual CUiString GetAttribute(const wchar_t* name);
    virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
    virtual CUiString GetAttributeList(bool ignoreDefault = true);
    virtual void ApplyAttributeList(const wchar_t* list);

    virtual SIZE EstimateSize(SIZE available);

    virtual bool Paint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl);
    virtual bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintStatusBkColor(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual bool DoPostPaint(HDC hDC, const RECT& rcPaint);

    // Non-virtual helpers and setters.
    void Invalidate();
    bool IsUpdateNeeded() const;
    void NeedUpdate();
    void NeedParentUpdate();
    CUiString GetVirtualWnd() const;
    void SetVirtualWnd(const wchar_t* value);
    bool DrawImage(HDC hDC, UiDrawInfo& info);
    DWORD GetAdjustColor(DWORD color) const;

    void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* GetCustomAttribute(const wchar_t* name) const;
    void RemoveAllCustomAttributes();

    DWORD GetBkColor() const { return m_dwBackColor; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return m_dwBackColor2; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return m_dwBackColor3; }
    void SetBkColor3(DWORD color);
    void SetBkColorIndex(int index);
    const wchar_t* GetBkImage() const { return m_diBk.sDrawString; }
    void SetBkImage(const wchar_t* description);
    void SetBkEnlargeImage(const wchar_t* description);
    const UiDrawInfo& GetBkImageInfo() const { return m_diBk; }
    DWORD GetBorderColor() const { return m_dwBorderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHSL() const { return m_bColorHSL; }
    void SetColorHSL(bool colorHSL);
    RECT GetBorderSize() const { return m_rcBorderSize; }
    void SetBorderSize(int size);
    void SetBorderSize(RECT rc);
    int GetBorderStyle() const { return m_nBorderStyle; }
    void SetBorderStyle(int style);
    SIZE GetBorderRound() const { return m_cxyBorderRound; }
    void SetBorderRound(SIZE cxyRound);
    void PaintBorderWithColor(HDC hDC, DWORD color);

public:
    CUiEventSource OnInit;
    CUiEventSource OnDestroy;
    CUiEventSource OnSize;
    CUiEventSource OnEvent;
    CUiEventSource OnNotify;
    CUiEventSource OnPaint;
    CUiEventSource OnPostPaint;

protected:
    // Clips rc by the position of every ancestor; false when an ancestor is
    // hidden or nothing is left.
    bool ClipByAncestors(RECT& rc, bool stopAtHidden) const;
    // The border figures of PaintBorder in one colour.
    void DrawBorderFigures(HDC hDC, DWORD color);

    // Watched across synchronous notifications: a handler may close the
    // window and with it delete this control (a box closing from its button).
    CLifeAnchor m_life;
    CUiManager* m_pManager;
    CControlUI* m_pParent;
    CControlUI* m_pCover;
    CUiString m_sVirtualWnd;
    CUiString m_sName;
    bool m_bUpdateNeeded;
    bool m_bMenuUsed;
    RECT m_rcItem;
    RECT m_rcPadding;
    SIZE m_cXY;
    SIZE m_cxyFixed;
    SIZE m_cxyMin;
    SIZE m_cxyMax;
    bool m_bVisible;
    bool m_bInternVisible;
    bool m_bEnabled;
    bool m_bMouseEnabled;
    bool m_bKeyboardEnabled;
    bool m_bFocused;
    bool m_bFloat;
    UiFloatPercent m_piFloatPercent;
    bool m_bSetPos;
    CUiString m_sText;
    CUiString m_sToolTip;
    wchar_t m_chShortcut;
    CUiString m_sUserData;
    int m_iTag;
    DWORD m_dwBackColor;
    DWORD m_dwBackColor2;
    DWORD m_dwBackColor3;
    UiDrawInfo m_diBk;
    UiDrawInfo m_diFore;
    DWORD m_dwBorderColor;
    DWORD m_dwFocusBorderColor;
    bool m_bColorHSL;
    int m_nBorderStyle;
    int m_nTooltipWidth;
    SIZE m_cxyBorderRound;
    RECT m_rcPaint;
    RECT m_rcBorderSize;
    CUiStringMap m_mCustomAttrHash;

private:
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;
};

}  // namespace SkinUI
