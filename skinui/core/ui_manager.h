// CUiManager: the per-window manager of a skinned window.
//
// Input side (ui_manager.cpp): window messages become UiEvent records for
// controls; focus, capture, hover and the pressed control; control timers;
// tooltips; Tab and shortcut keys; synchronous and queued notifications;
// delayed control clean-up; the process's message loop and pre-translation.
// Output side (ui_manager_paint.cpp): binding to a window, attaching the tree,
// deferred layout, WM_PAINT, option groups; layered windows and the window
// attributes in ui_manager_layered.cpp.
// Process-wide side (ui_manager_resource.cpp): module instance, skin archive
// and skin files, language table, fonts, images, enlarge mode.
//
// A manager without a window still serves a control tree: invalidation and
// timers then do nothing, notifications still reach the notifiers.
//
// Handlers the manager calls (control events, notifiers, filters) may change
// the manager's lists, delete controls, or close and delete the window with
// its manager: every loop over a list works on a copy, control pointers held
// across a call-out are cleared when their control goes (ReapObjects), and
// the manager stops touching itself once it is gone (CLifeWatch).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "foundation/scoped_gdi.h"

#include "skinui/core/control_ui.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/life_guard.h"
#include "skinui/core/ui_event.h"
#include "skinui/core/ui_ptr_array.h"
#include "skinui/core/ui_string.h"
#include "skinui/core/ui_string_map.h"
#include "skinui/core/ui_types.h"

namespace SkinUI {

// One control timer (owned by the manager's timer list).
struct UiTimerInfo {
    CControlUI* pSender;
    UINT nLocalID;  // the caller's id, unique per control
    HWND hWnd;
    UINT_PTR uWinTimer;  // the id given to SetTimer
    bool bKilled;
};

// One font (owned by its table; the default font records are members).
struct UiFontInfo {
    HFONT hFont = nullptr;
    CUiString sFontName;
    int iSize = 0;  // requested size in pixels, before any scaling
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    TEXTMETRICW tm = {};
};

// Posted to the window to run queued notifications and delayed clean-up.
const UINT WM_UI_CLEANUP = WM_APP + 1;
// Timer id of the layered-window repaint timer.
const UINT_PTR UI_LAYERED_TIMER_ID = 0x2000;

class CUiManager {
public:
    CUiManager();
    ~CUiManager();
    CUiManager(const CUiManager&) = delete;
    CUiManager& operator=(const CUiManager&) = delete;

    // ---- Binding and the control tree ----
    void Init(HWND hWnd, const wchar_t* name = nullptr);
    bool AttachDialog(CControlUI* root);
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    void ReapObjects(CControlUI* control);
    void AddDelayedCleanup(CControlUI* control);
    CControlUI* GetRoot() const { return m_pRoot; }
    const CUiString& GetName() const { return m_sName; }
    HWND GetPaintWindow() const { return m_hWndPaint; }
    HDC GetPaintDC() const { return m_dcPaint.get().dc; }
    // The off-screen bitmap of the last paint (null before the first paint).
    HBITMAP GetOffscreenBitmap() const { return m_bmpOffscreen.get(); }
    // Pixels of a layered window's off-screen DIB (null otherwise or before the first paint).
    const BYTE* GetLayeredBits() const { return m_bLayered ? m_pOffscreenBits : nullptr; }
    HWND GetTooltipWindow() const { return m_hwndTooltip; }
    POINT GetMousePos() const { return m_ptLastMousePos; }

    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(const wchar_t* name) const;
    // The named control as the kind the program expects, asked through its
    // GetInterface ("TabLayout" for CTabLayoutUI ...); null when there is
    // none or it is of another kind. A skin folder beside a program may
    // replace its skin, so a name says nothing about the control's type.
    template <typename T>
    T* FindControlAs(const wchar_t* name, const wchar_t* interfaceName) const
    {
        CControlUI* control = FindControl(name);
        return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
    }
    // False, changing nothing, when the control belongs to another manager or
    // the name is empty or another control's.
    bool RenameControl(CControlUI* control, const wchar_t* newName);
    // The control's name leaves the name map when the map gives it for that name.
    void ForgetControlName(CControlUI* control);

    // ---- Messages ----
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool TranslateAccelerator(LPMSG pMsg);
    static void MessageLoop();
    static bool TranslateMessage(const LPMSG pMsg);

    // ---- Focus and capture ----
    CControlUI* GetFocus() const { return m_pFocus; }
    void SetFocus(CControlUI* control, bool focusWindow = true);
    void SetFocusNeeded(CControlUI* control);
    bool SetNextTabControl(bool forward = true);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_bMouseCapture; }

    // ---- Control timers ----
    bool SetTimer(CControlUI* control, UINT timerID, UINT elapse);
    bool KillTimer(CControlUI* control, UINT timerID);
    void KillTimer(CControlUI* control);
    void RemoveAllTimers();

    // ---- Notifications ----
    void SendNotify(CControlUI* control, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0, bool async = false,
                    bool enableRepeat = true);
    void SendNotify(UiNotify& msg, bool async = false, bool enableRepeat = true);
    void SetUsedVirtualWnd(bool used) { m_bUsedVirtualWnd = used; }

    // ---- Listener lists ----
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddTranslateAccelerator(ITranslateAccelerator* translator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
    bool AddMouseLeaveNeeded(CControlUI* control);
    bool RemoveMouseLeaveNeeded(CControlUI* control);
    bool AddNativeWindow(CControlUI* control, HWND hChildWnd);
    bool RemoveNativeWindow(HWND hChildWnd);
    RECT GetNativeWindowRect(HWND hChildWnd) const;
    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);

    // ---- Layout and painting ----
    void NeedUpdate();
    void Invalidate(RECT& rcItem);
    void InvalidateAll();
    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    // True while WM_PAINT runs (a layered window then prints its native children).
    bool IsPainting() const { return m_bIsPainting; }
    bool IsLayered() const { return m_bLayered; }
    void SetLayered(bool layered);
    BYTE GetOpacity() const { return m_nOpacity; }
    void SetOpacity(BYTE opacity);
    void SetLayeredOpacity(BYTE opacity);
    void SetLayeredImage(const wchar_t* description);
    void SetLayeredEnlargeImage(const wchar_t* description);

    // ---- Window attributes ----
    void SetWindowAttribute(const wchar_t* name, const wchar_t* value);
    SIZE GetInitSize() const { return m_szInitWindowSize; }
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const { return m_rcSizeBox; }
    void SetSizeBox(const RECT& rc) { m_rcSizeBox = rc; }
    RECT GetCaptionRect() const { return m_rcCaption; }
    void SetCaptionRect(const RECT& rc);
    SIZE GetRoundCorner() const { return m_szRoundCorner; }
    void SetRoundCorner(int cx, int cy);
    SIZE GetMinInfo() const { return m_szMinWindow; }
    void SetMinInfo(int cx, int cy);
    SIZE GetMaxInfo() const { return m_szMaxWindow; }
    void SetMaxInfo(int cx, int cy);
    bool IsShowUpdateRect() const { return m_bShowUpdateRect; }
    void SetShowUpdateRect(bool show) { m_bShowUpdateRect = show; }
    bool IsNoActivate() const { return m_bNoActivate; }
    void SetNoActivate(bool noActivate) { m_bNoActivate = noActivate; }

    DWORD GetDefaultDisabledColor() const { return m_dwDefaultDisabledColor; }
    void SetDefaultDisabledColor(DWORD color, bool shared = false);
    DWORD GetDefaultFontColor() const { return m_dwDefaultFontColor; }
    void SetDefaultFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkFontColor() const { return m_dwDefaultLinkFontColor; }
    void SetDefaultLinkFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkHoverFontColor() const { return m_dwDefaultLinkHoverFontColor; }
    void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultSelectedBkColor() const { return m_dwDefaultSelectedBkColor; }
    void SetDefaultSelectedBkColor(DWORD color, bool shared = false);

    bool AddOptionGroup(const wchar_t* groupName, CControlUI* control);
    CUiPtrArray* GetOptionGroup(const wchar_t* groupName);
    void RemoveOptionGroup(const wchar_t* groupName, CControlUI* control);
    // Takes the control out of every group (a group never keeps a dead control).
    void RemoveFromOptionGroups(CControlUI* control);
    void RemoveAllOptionGroups();

    void AddDefaultAttributeList(const wchar_t* controlName, const wchar_t* attrList, bool shared = false);
    const wchar_t* GetDefaultAttributeList(const wchar_t* controlName) const;
    bool RemoveDefaultAttributeList(const wchar_t* controlName, bool shared = false);
    void RemoveAllDefaultAttributeList(bool shared = false);

    void AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* GetWindowCustomAttribute(const wchar_t* name) const;
    void RemoveAllWindowCustomAttributes();

    // Process-wide hue, saturation and lightness applied to "colorhsl" colours.
    static void GetHSL(short* H, short* S, short* L);

    // ---- Process-wide resources ----
    static void SetInstance(HINSTANCE hInst);
    static HINSTANCE GetInstance();
    static CUiString GetInstancePath();
    static DWORD GetPlatformMajorVersion();
    static void SetLanguage(const wchar_t* code, const wchar_t* fallback);
    static const CUiString& GetLanguage();
    static void SetResourcePath(const wchar_t* path);
    static const CUiString& GetResourcePath();
    static void LoadZipResource(UINT resourceID, const wchar_t* languageFile);
    // A new heap block owned by the caller (delete[]), or null with size 0.
    static LPBYTE LoadSkinData(const wchar_t* name, DWORD& size);
    static void LoadLanguageFile(const wchar_t* name);
    static void LoadLanguageTable(const BYTE* data, DWORD size);
    static const wchar_t* GetLanguageText(const wchar_t* key);
    static void SetLanguageText(const wchar_t* key, const wchar_t* text);
    static void ProcessLanguageText(CUiString& text);
    static const wchar_t* GetLanguageTextA(const char* key);
    static const wchar_t* GetLanguageEntry(int index, bool displayName = false);
    static int GetLanguageCount();
    static CUiPtrArray* GetControlFactories();
    static bool IsEnlargeMode();
    static void SetEnlargeMode(bool enlarge);
    static float GetEnlargeScale();
    static int GetEnlargeFontOffset();

    // Fonts: shared, or the manager's own table.
    HFONT AddFont(int id, const wchar_t* face, int size, bool bold, bool underline, bool italic, bool shared = false);
    void SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic, bool shared = false);
    void InitFontSet(const wchar_t* face);
    HFONT GetFont(int id);
    HFONT GetFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    UiFontInfo* GetFontInfo(int id);
    UiFontInfo* GetFontInfo(HFONT hFont);
    UiFontInfo* GetDefaultFontInfo();
    void RemoveAllFonts(bool shared = false);
    bool IsUseSharedResources() const { return m_bUseSharedResources; }
    void SetUseSharedResources(bool use) { m_bUseSharedResources = use; }

    // Images: the manager's own table, then the shared one.
    const UiImageInfo* GetImage(const wchar_t* name);
    const UiImageInfo* GetImageEx(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                                  bool useHSL = false, bool shared = false);
    const UiImageInfo* AddImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0, bool useHSL = false,
                                bool shared = false);
    void RemoveAllImages(bool shared = false);

private:
    // Message handling pieces (ui_manager.cpp).
    bool OnMouseMove(WPARAM wParam, LPARAM lParam);
    bool OnMouseHover(LPARAM lParam);
    void OnMouseLeave();
    void OnClose();
    void OnTimer(WPARAM wParam, LPARAM lParam);
    void OnCleanupMessage();
    void RecordMousePoint(UINT uMsg, LPARAM lParam);
    void PostCleanupMessage();
    void DeliverNotify(UiNotify& msg);
    bool RunFilters(const CUiPtrArray& filters, const CLifeWatch& watch, UINT uMsg, WPARAM wParam, LPARAM lParam,
                    LRESULT& lRes);
    void FillEvent(UiEvent& event, int type, CControlUI* sender) const;
    void FillEvent(UiEvent& event, int type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const;
    // A key event carries the key in chKey, a button event the key state of wParam.
    void SendKeyEvent(CControlUI* target, int type, WPARAM wParam, LPARAM lParam);
    void SendButtonEvent(CControlUI* target, int type, WPARAM wParam, LPARAM lParam);
    // The own control at pt becomes the clicked one and takes the focus; null
    // when there is none or it (or the window) went away while taking the focus.
    CControlUI* PressControlAt(POINT pt);
    // Tells the focused control and the notifiers it lost the focus; false
    // when the manager went away meanwhile.
    bool DropFocus();
    CControlUI* FindOwnControl(POINT pt) const;
    UiTimerInfo* FindTimer(CControlUI* control, UINT timerID) const;
    UINT_PTR NextWindowTimerId();
    void FreeAsyncNotifies();
    void DeleteDelayedCleanup();

    // Painting pieces (ui_manager_paint.cpp).
    bool OnPaint();
    void OnPrintClient(WPARAM wParam, LPARAM lParam);
    // False when the manager went away during the layout or "windowinit".
    bool LayoutPass(const RECT& rcClient);
    void FreeOffscreen();
    // Fonts, images, attribute lists, option groups and timers of this manager.
    void RemoveOwnResources();
    // Layered windows (ui_manager_layered.cpp).
    void PrintNativeChildren(const RECT& rcPaint);
    void PresentLayered(const RECT& rcClient, const RECT& rcPaint);

    // The managers of this process, in Init order (TranslateMessage searches it).
    static CUiPtrArray& Managers();

    // A control pointer held on the stack across a call-out: ReapObjects sets
    // it to null when its control goes, and Gone() tells whether the manager
    // itself went.
    class ControlRef {
    public:
        ControlRef(CUiManager& manager, CControlUI*& control);
        ~ControlRef();
        ControlRef(const ControlRef&) = delete;
        ControlRef& operator=(const ControlRef&) = delete;
        bool Gone() const { return m_watch.IsDead(); }

    private:
        CLifeWatch m_watch;
        CUiManager& m_manager;
        CControlUI** m_pSlot;
    };

    static CControlUI* CALLBACK FindControlFromNameHash(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK FindControlFromPoint(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK FindControlFromTab(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK FindControlFromShortcut(CControlUI* control, LPVOID data);
    static CControlUI* CALLBACK FindControlFromUpdate(CControlUI* control, LPVOID data);

    // Window and messages.
    CUiString m_sName;
    HWND m_hWndPaint;
    utility::ScopedWindowDC m_dcPaint;
    // Each bitmap before its DC, so that the DC goes first: a bitmap still
    // selected into a DC is not deleted.
    utility::ScopedGdiObject<HBITMAP> m_bmpOffscreen;
    utility::ScopedMemoryDC m_dcOffscreen;
    LPBYTE m_pOffscreenBits;
    SIZE m_szOffscreen;                           // of m_bmpOffscreen (and of the mask made beside it)
    utility::ScopedGdiObject<HBITMAP> m_bmpMask;  // selected into m_dcMask for the DC's life
    utility::ScopedMemoryDC m_dcMask;
    LPBYTE m_pMaskBits;
    HWND m_hwndTooltip;
    int m_iTooltipWidth;
    TOOLINFOW m_ToolTip;
    CUiString m_sToolTipText;  // the text shown by the tooltip window
    UINT m_uHoverTime;

    CControlUI* m_pRoot;  // owned
    CControlUI* m_pFocus;
    CControlUI* m_pEventHover;
    CControlUI* m_pEventClick;
    CControlUI* m_pEventKey;
    POINT m_ptLastMousePos;

    // Window attributes.
    SIZE m_szInitWindowSize;
    SIZE m_szMinWindow;
    SIZE m_szMaxWindow;
    RECT m_rcSizeBox;
    SIZE m_szRoundCorner;
    RECT m_rcCaption;

    // Flags.
    bool m_bFirstLayout;
    bool m_bUpdateNeeded;
    bool m_bFocusNeeded;
    bool m_bFocusSilent;  // the focus control has not been told yet (focus needed)
    bool m_bOffscreenPaint;
    BYTE m_nOpacity;
    bool m_bLayered;
    bool m_bShowUpdateRect;
    bool m_bNoActivate;
    bool m_bMouseTracking;
    bool m_bMouseCapture;
    bool m_bIsPainting;
    bool m_bUsedVirtualWnd;
    bool m_bAsyncNotifyPosted;
    bool m_bLayeredChanged;
    RECT m_rcLayeredUpdate;
    BYTE m_nLayeredOpacity;
    UiDrawInfo m_diLayered;

    UINT m_uTimerID;  // control timer counter

    CUiPtrArray m_aNotifiers;
    CUiPtrArray m_aTimers;
    CUiPtrArray m_aPreMessageFilters;
    CUiPtrArray m_aMessageFilters;
    CUiPtrArray m_aPostPaintControls;
    CUiPtrArray m_aNativeWindow;
    CUiPtrArray m_aNativeWindowControl;
    CUiPtrArray m_aDelayedCleanup;
    CUiPtrArray m_aAsyncNotify;
    CUiPtrArray m_aNeedMouseLeaveNeeded;
    CUiPtrArray m_aTranslateAccelerator;
    CUiPtrArray m_aFoundControls;  // update scratch list
    CUiPtrArray m_aControlRefs;    // CControlUI** of the live ControlRefs

    CUiStringMap m_mNameHash;
    CUiStringMap m_mWindowCustomAttrHash;
    CUiStringMap m_mOptionGroup;

    DWORD m_dwDefaultDisabledColor;
    DWORD m_dwDefaultFontColor;
    DWORD m_dwDefaultLinkFontColor;
    DWORD m_dwDefaultLinkHoverFontColor;
    DWORD m_dwDefaultSelectedBkColor;

    bool m_bUseSharedResources;
    UiFontInfo m_DefaultFontInfo;
    CUiStringMap m_CustomFonts;
    CUiStringMap m_ImageHash;
    CUiStringMap m_DefaultAttrHash;

    CLifeAnchor m_life;
};

}  // namespace SkinUI
