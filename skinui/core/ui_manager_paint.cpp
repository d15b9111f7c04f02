// CUiManager, output side: construction and destruction, binding to a window,
// attaching the control tree, deferred layout, WM_PAINT through an off-screen
// bitmap, default colours, option groups, default attribute lists and window
// custom attributes.
#include "skinui/core/ui_manager.h"

#include <string.h>

#include <vector>

#include "foundation/log.h"
#include "foundation/system_dll.h"

namespace SkinUI {

namespace {

// Process-wide default colours, copied into each new manager.
struct SharedColors {
    DWORD disabled = 0xFFA7A6AA;
    DWORD text = 0xFF000000;
    DWORD link = 0xFF0000FF;
    DWORD linkHover = 0xFFD3215F;
    DWORD selectedBk = 0xFFBAE4FF;
};

SharedColors& Shared()
{
    static SharedColors colors;
    return colors;
}

CUiStringMap& SharedDefaultAttributes()
{
    static CUiStringMap map(83);
    return map;
}

void SetColor(DWORD& own, DWORD& shared, DWORD color, bool toShared)
{
    if (!toShared) {
        own = color;
        return;
    }
    if (own == shared) {
        own = color;
    }
    shared = color;
}

// The process-wide red pen that outlines painted areas ("showdirty").
HPEN UpdateRectPen()
{
    static HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    return pen;
}

// The tooltip's and the date picker's window classes come with comctl32.dll,
// loaded once from the system folder (never a copy beside the program) and
// kept for the process.
void LoadCommonControls()
{
    typedef BOOL(WINAPI * InitCommonControlsExFn)(const INITCOMMONCONTROLSEX*);
    HMODULE module = utility::loadSystemLibrary(L"comctl32.dll");
    FARPROC found = module != nullptr ? ::GetProcAddress(module, "InitCommonControlsEx") : nullptr;
    InitCommonControlsExFn init = reinterpret_cast<InitCommonControlsExFn>(reinterpret_cast<void*>(found));
    if (init == nullptr) {
        common::log("CUiManager::CUiManager", __LINE__, L"InitCommonControlsEx not found lastError = %d",
                    static_cast<int>(::GetLastError()));
        return;
    }
    // The date classes are not among the defaults of a version 6 library.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    if (!init(&icc)) {
        common::log("CUiManager::CUiManager", __LINE__, L"InitCommonControlsEx failed lastError = %d",
                    static_cast<int>(::GetLastError()));
    }
}

int ScaleForEnlarge(int value)
{
    return CUiManager::IsEnlargeMode() ? static_cast<int>(value * CUiManager::GetEnlargeScale()) : value;
}

// Frees a memory DC and then its DIB section; the bits die with the bitmap.
void FreeBitmapDC(utility::ScopedMemoryDC& dc, utility::ScopedGdiObject<HBITMAP>& bitmap, LPBYTE& bits)
{
    dc.reset();
    if (bitmap.valid()) {
        bitmap.reset();
        bits = nullptr;
    }
}

}  // namespace

CUiManager::CUiManager()
    : m_hWndPaint(nullptr),
      m_pOffscreenBits(nullptr),
      m_szOffscreen(),
      m_pMaskBits(nullptr),
      m_hwndTooltip(nullptr),
      m_iTooltipWidth(-1),
      m_ToolTip(),
      m_uHoverTime(200),
      m_pRoot(nullptr),
      m_pFocus(nullptr),
      m_pEventHover(nullptr),
      m_pEventClick(nullptr),
      m_pEventKey(nullptr),
      m_ptLastMousePos{-1, -1},
      m_szInitWindowSize(),
      m_szMinWindow(),
      m_szMaxWindow(),
      m_rcSizeBox(),
      m_szRoundCorner(),
      m_rcCaption(),
      m_bFirstLayout(true),
      m_bUpdateNeeded(false),
      m_bFocusNeeded(false),
      m_bFocusSilent(false),
      m_bOffscreenPaint(true),
      m_nOpacity(255),
      m_bLayered(false),
      m_bShowUpdateRect(false),
      m_bNoActivate(false),
      m_bMouseTracking(false),
      m_bMouseCapture(false),
      m_bIsPainting(false),
      m_bUsedVirtualWnd(false),
      m_bAsyncNotifyPosted(false),
      m_bLayeredChanged(false),
      m_rcLayeredUpdate(),
      m_nLayeredOpacity(255),
      m_uTimerID(4096),
      m_mNameHash(83),
      m_mWindowCustomAttrHash(83),
      m_mOptionGroup(83),
      m_bUseSharedResources(false),
      m_CustomFonts(83),
      m_ImageHash(83),
      m_DefaultAttrHash(83)
{
    static bool firstManager = true;
    if (firstManager) {
        firstManager = false;
        LoadCommonControls();
        utility::loadSystemLibrary(L"msimg32.dll");
    }
    const SharedColors& shared = Shared();
    m_dwDefaultDisabledColor = shared.disabled;
    m_dwDefaultFontColor = shared.text;
    m_dwDefaultLinkFontColor = shared.link;
    m_dwDefaultLinkHoverFontColor = shared.linkHover;
    m_dwDefaultSelectedBkColor = shared.selectedBk;
}

CUiManager::~CUiManager()
{
    DeleteDelayedCleanup();
    FreeAsyncNotifies();
    m_mNameHash.RemoveAll();
    if (m_pRoot != nullptr) {
        CControlUI* root = m_pRoot;
        m_pRoot = nullptr;
        root->Delete();
    }
    DeleteDelayedCleanup();
    FreeAsyncNotifies();
    if (m_DefaultFontInfo.hFont != nullptr) {
        ::DeleteObject(m_DefaultFontInfo.hFont);
        m_DefaultFontInfo.hFont = nullptr;
    }
    RemoveOwnResources();
    if (m_hwndTooltip != nullptr) {
        ::DestroyWindow(m_hwndTooltip);
        m_hwndTooltip = nullptr;
    }
    FreeOffscreen();
    m_dcPaint.reset();
    int index = Managers().Find(this);
    if (index >= 0) {
        Managers().Remove(index);
    }
}

void CUiManager::RemoveOwnResources()
{
    RemoveAllFonts();
    RemoveAllImages();
    RemoveAllDefaultAttributeList();
    RemoveAllWindowCustomAttributes();
    RemoveAllOptionGroups();
    RemoveAllTimers();
}

void CUiManager::Init(HWND hWnd, const wchar_t* name)
{
    m_mNameHash.Resize(83);
    RemoveOwnResources();
    m_sName = name != nullptr ? name : L"";
    if (m_hWndPaint != hWnd) {
        m_dcPaint.reset();
        m_hWndPaint = hWnd;
        if (hWnd != nullptr) {
            m_dcPaint.reset(utility::takeWindowDC(hWnd));
        }
        if (Managers().Find(this) < 0) {
            Managers().Add(this);
        }
    }
}

bool CUiManager::AttachDialog(CControlUI* root)
{
    SetFocus(nullptr, true);
    m_pEventKey = nullptr;
    m_pEventHover = nullptr;
    m_pEventClick = nullptr;
    if (m_pRoot != nullptr) {
        DeleteDelayedCleanup();
        FreeAsyncNotifies();
        m_mNameHash.Resize(83);
        m_aPostPaintControls.Empty();
        m_aNativeWindow.Empty();
        m_aNativeWindowControl.Empty();
        AddDelayedCleanup(m_pRoot);
    }
    m_pRoot = root;
    m_bFirstLayout = true;
    m_bUpdateNeeded = true;
    m_bFocusNeeded = true;
    return InitControls(root);
}

bool CUiManager::InitControls(CControlUI* control, CControlUI* parent)
{
    if (control == nullptr) {
        return false;
    }
    control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
    control->FindControl(FindControlFromNameHash, this, UIFIND_ALL);
    return true;
}

CControlUI* CALLBACK CUiManager::FindControlFromNameHash(CControlUI* control, LPVOID data)
{
    CUiManager* manager = static_cast<CUiManager*>(data);
    CUiString name = control->GetName();
    if (!name.IsEmpty()) {
        manager->m_mNameHash.Set(name, control);
    }
    return nullptr;
}

CControlUI* CALLBACK CUiManager::FindControlFromUpdate(CControlUI* control, LPVOID data)
{
    if (!control->IsUpdateNeeded()) {
        return nullptr;
    }
    static_cast<CUiPtrArray*>(data)->Add(control);
    return control;
}

void CUiManager::NeedUpdate() { m_bUpdateNeeded = true; }

void CUiManager::Invalidate(RECT& rcItem)
{
    if (rcItem.left < 0)
        rcItem.left = 0;
    if (rcItem.top < 0)
        rcItem.top = 0;
    if (rcItem.right < rcItem.left)
        rcItem.right = rcItem.left;
    if (rcItem.bottom < rcItem.top)
        rcItem.bottom = rcItem.top;
    if (m_hWndPaint == nullptr) {
        return;
    }
    if (m_bLayered) {
        if (::IsRectEmpty(&m_rcLayeredUpdate)) {
            m_rcLayeredUpdate = rcItem;
        } else {
            ::UnionRect(&m_rcLayeredUpdate, &m_rcLayeredUpdate, &rcItem);
        }
        return;
    }
    ::InvalidateRect(m_hWndPaint, &rcItem, FALSE);
}

void CUiManager::InvalidateAll()
{
    if (m_hWndPaint == nullptr) {
        return;
    }
    if (m_bLayered) {
        RECT rcClient = {0, 0, 0, 0};
        ::GetClientRect(m_hWndPaint, &rcClient);
        Invalidate(rcClient);
        return;
    }
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CUiManager::FreeOffscreen()
{
    FreeBitmapDC(m_dcOffscreen, m_bmpOffscreen, m_pOffscreenBits);
    FreeBitmapDC(m_dcMask, m_bmpMask, m_pMaskBits);
}

bool CUiManager::LayoutPass(const RECT& rcClient)
{
    // Size handlers may delete controls (ReapObjects clears them from the
    // scratch list) or close the window.
    CLifeWatch watch(m_life);
    if (m_pRoot->IsUpdateNeeded()) {
        FreeOffscreen();
        m_pRoot->SetPos(rcClient, true);
    } else {
        m_aFoundControls.Empty();
        m_pRoot->FindControl(FindControlFromUpdate, &m_aFoundControls,
                             UIFIND_VISIBLE | UIFIND_ME_FIRST | UIFIND_UPDATETEST);
        for (int i = 0; i < m_aFoundControls.GetSize(); ++i) {
            CControlUI* control = static_cast<CControlUI*>(m_aFoundControls[i]);
            if (control != nullptr) {
                control->SetPos(control->IsFloat() ? control->GetRelativePos() : control->GetPos(), true);
            }
            if (watch.IsDead()) {
                return false;
            }
        }
        m_aFoundControls.Empty();
    }
    if (watch.IsDead()) {
        return false;
    }
    if (m_bFirstLayout) {
        m_bFirstLayout = false;
        SendNotify(m_pRoot, L"windowinit", 0, 0, false);
    }
    return !watch.IsDead();
}

bool CUiManager::OnPaint()
{
    PAINTSTRUCT ps = {};
    if (m_pRoot == nullptr) {
        ::BeginPaint(m_hWndPaint, &ps);
        CDrawKit::DrawColor(GetPaintDC(), ps.rcPaint, 0xFF000000);
        ::EndPaint(m_hWndPaint, &ps);
        return true;
    }

    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &rcClient);
    RECT rcPaint = {0, 0, 0, 0};
    if (m_bLayered) {
        // Only the part inside the client area is painted: the pixel loops
        // below index the client-sized DIB with it.
        const bool visible = ::IntersectRect(&rcPaint, &m_rcLayeredUpdate, &rcClient) != FALSE;
        ::SetRectEmpty(&m_rcLayeredUpdate);
        if (!visible) {
            ::BeginPaint(m_hWndPaint, &ps);
            ::EndPaint(m_hWndPaint, &ps);
            return true;
        }
    } else if (!::GetUpdateRect(m_hWndPaint, &rcPaint, FALSE)) {
        return true;
    }

    CLifeWatch watch(m_life);
    if (m_bFocusNeeded) {
        SetNextTabControl();
        if (watch.IsDead()) {
            return true;
        }
    }
    m_bIsPainting = true;

    const int width = rcClient.right - rcClient.left;
    const int height = rcClient.bottom - rcClient.top;
    // The pixel loops below index the bitmaps by the client size: one of
    // another size (a resize that laid nothing out, as under a hidden root)
    // is made again.
    if ((m_bmpOffscreen.valid() || m_bmpMask.valid()) && (m_szOffscreen.cx != width || m_szOffscreen.cy != height)) {
        FreeOffscreen();
    }
    if (m_bUpdateNeeded) {
        m_bUpdateNeeded = false;
        if (!::IsRectEmpty(&rcClient)) {
            if (!LayoutPass(rcClient)) {
                return true;  // the window went during the layout
            }
            if (m_bLayered && m_bLayeredChanged) {
                // The next timer tick paints the new layout.
                InvalidateAll();
                ::ValidateRect(m_hWndPaint, nullptr);
                m_bIsPainting = false;
                return true;
            }
        }
    } else if (m_bLayered && m_bLayeredChanged) {
        // The first layout may have freed the off-screen DIB: clear it only when it exists.
        if (m_pOffscreenBits != nullptr && width > 0 && height > 0) {
            ::GdiFlush();
            memset(m_pOffscreenBits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        }
        m_pRoot->SetPos(rcClient, true);
    }

    if (m_bOffscreenPaint && !m_bmpOffscreen.valid() && width > 0 && height > 0) {
        if (!m_dcOffscreen.valid()) {
            m_dcOffscreen.reset(::CreateCompatibleDC(GetPaintDC()));
        }
        if (m_bLayered) {
            m_bmpOffscreen.reset(CDrawKit::CreateARGB32Bitmap(GetPaintDC(), width, height, &m_pOffscreenBits));
        } else {
            m_bmpOffscreen.reset(::CreateCompatibleBitmap(GetPaintDC(), width, height));
        }
        if (!m_dcOffscreen.valid() || !m_bmpOffscreen.valid()) {
            common::log("CUiManager::OnPaint", __LINE__, L"off-screen bitmap not created lastError = %d",
                        static_cast<int>(::GetLastError()));
        }
        m_szOffscreen = {width, height};
    }

    ::BeginPaint(m_hWndPaint, &ps);
    if (m_bOffscreenPaint && m_dcOffscreen.valid()) {
        HDC offscreen = m_dcOffscreen.get();
        utility::ScopedSelection bitmap(offscreen, m_bmpOffscreen.get());
        int saved = ::SaveDC(offscreen);
        if (m_bLayered && m_diLayered.pImageInfo == nullptr && m_pOffscreenBits != nullptr) {
            // Fully transparent under the controls.
            ::GdiFlush();
            for (LONG y = rcPaint.top; y < rcPaint.bottom; ++y) {
                memset(m_pOffscreenBits + (static_cast<size_t>(y) * width + rcPaint.left) * 4, 0,
                       static_cast<size_t>(rcPaint.right - rcPaint.left) * 4);
            }
        }
        m_pRoot->Paint(offscreen, rcPaint, nullptr);
        if (m_bLayered) {
            PrintNativeChildren(rcPaint);
        }
        // A copy: a post-paint listener may take its control off the list.
        CUiPtrArray postPaint(m_aPostPaintControls);
        for (int i = 0; i < postPaint.GetSize() && !watch.IsDead(); ++i) {
            if (m_aPostPaintControls.Find(postPaint[i]) >= 0) {
                static_cast<CControlUI*>(postPaint[i])->DoPostPaint(offscreen, rcPaint);
            }
        }
        if (watch.IsDead()) {
            bitmap.release();  // the DC went with the manager
            return true;
        }
        ::RestoreDC(offscreen, saved);
        if (m_bLayered) {
            PresentLayered(rcClient, rcPaint);
        } else {
            ::BitBlt(GetPaintDC(), rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
                     rcPaint.bottom - rcPaint.top, offscreen, rcPaint.left, rcPaint.top, SRCCOPY);
        }
        bitmap.restore();
        if (!m_bLayered && m_bShowUpdateRect) {
            utility::ScopedSelection pen(GetPaintDC(), UpdateRectPen());
            utility::ScopedSelection brush(GetPaintDC(), ::GetStockObject(HOLLOW_BRUSH));
            ::Rectangle(GetPaintDC(), rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
        }
    } else {
        int saved = ::SaveDC(GetPaintDC());
        m_pRoot->Paint(GetPaintDC(), rcPaint, nullptr);
        ::RestoreDC(GetPaintDC(), saved);
    }
    ::EndPaint(m_hWndPaint, &ps);

    m_bIsPainting = false;
    m_bLayeredChanged = false;
    if (m_bUpdateNeeded) {
        InvalidateAll();
    }
    return true;
}

void CUiManager::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    if (m_pRoot == nullptr) {
        return;
    }
    HDC hDC = reinterpret_cast<HDC>(wParam);
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &rcClient);
    int saved = ::SaveDC(hDC);
    m_pRoot->Paint(hDC, rcClient, nullptr);
    if ((lParam & PRF_CHILDREN) != 0) {
        for (HWND child = ::GetWindow(m_hWndPaint, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rcPos = {0, 0, 0, 0};
            ::GetWindowRect(child, &rcPos);
            ::MapWindowPoints(HWND_DESKTOP, m_hWndPaint, reinterpret_cast<POINT*>(&rcPos), 2);
            ::SetWindowOrgEx(hDC, -rcPos.left, -rcPos.top, nullptr);
            ::SendMessageW(child, WM_PRINT, wParam, lParam | PRF_NONCLIENT);
        }
    }
    ::RestoreDC(hDC, saved);
}

bool CUiManager::AddPostPaint(CControlUI* control) { return m_aPostPaintControls.Add(control); }

bool CUiManager::RemovePostPaint(CControlUI* control)
{
    int index = m_aPostPaintControls.Find(control);
    return index >= 0 && m_aPostPaintControls.Remove(index);
}

void CUiManager::GetHSL(short* H, short* S, short* L)
{
    // The neutral adjustment; nothing in the programs changes it.
    if (H != nullptr)
        *H = 180;
    if (S != nullptr)
        *S = 100;
    if (L != nullptr)
        *L = 100;
}

void CUiManager::SetInitSize(int cx, int cy)
{
    m_szInitWindowSize.cx = ScaleForEnlarge(cx);
    m_szInitWindowSize.cy = ScaleForEnlarge(cy);
    if (m_pRoot == nullptr && m_hWndPaint != nullptr) {
        ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, m_szInitWindowSize.cx, m_szInitWindowSize.cy,
                       SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void CUiManager::SetCaptionRect(const RECT& rc)
{
    m_rcCaption = {ScaleForEnlarge(rc.left), ScaleForEnlarge(rc.top), ScaleForEnlarge(rc.right),
                   ScaleForEnlarge(rc.bottom)};
}

void CUiManager::SetRoundCorner(int cx, int cy) { m_szRoundCorner = {cx, cy}; }
void CUiManager::SetMinInfo(int cx, int cy) { m_szMinWindow = {cx, cy}; }
void CUiManager::SetMaxInfo(int cx, int cy) { m_szMaxWindow = {cx, cy}; }

void CUiManager::SetDefaultDisabledColor(DWORD color, bool shared)
{
    SetColor(m_dwDefaultDisabledColor, Shared().disabled, color, shared);
}

void CUiManager::SetDefaultFontColor(DWORD color, bool shared)
{
    SetColor(m_dwDefaultFontColor, Shared().text, color, shared);
}

void CUiManager::SetDefaultLinkFontColor(DWORD color, bool shared)
{
    SetColor(m_dwDefaultLinkFontColor, Shared().link, color, shared);
}

void CUiManager::SetDefaultLinkHoverFontColor(DWORD color, bool shared)
{
    SetColor(m_dwDefaultLinkHoverFontColor, Shared().linkHover, color, shared);
}

void CUiManager::SetDefaultSelectedBkColor(DWORD color, bool shared)
{
    SetColor(m_dwDefaultSelectedBkColor, Shared().selectedBk, color, shared);
}

bool CUiManager::AddOptionGroup(const wchar_t* groupName, CControlUI* control)
{
    if (groupName == nullptr || control == nullptr) {
        return false;
    }
    CUiPtrArray* group = static_cast<CUiPtrArray*>(m_mOptionGroup.Find(groupName));
    if (group != nullptr) {
        if (group->Find(control) >= 0) {
            return false;
        }
        return group->Add(control);
    }
    group = new CUiPtrArray(6);
    group->Add(control);
    if (!m_mOptionGroup.Insert(groupName, group)) {
        delete group;
        return false;
    }
    return true;
}

CUiPtrArray* CUiManager::GetOptionGroup(const wchar_t* groupName)
{
    if (groupName == nullptr) {
        return nullptr;
    }
    return static_cast<CUiPtrArray*>(m_mOptionGroup.Find(groupName));
}

void CUiManager::RemoveOptionGroup(const wchar_t* groupName, CControlUI* control)
{
    CUiPtrArray* group = GetOptionGroup(groupName);
    if (group == nullptr) {
        return;
    }
    int index = group->Find(control);
    if (index >= 0) {
        group->Remove(index);
    }
    if (group->IsEmpty()) {
        delete group;
        m_mOptionGroup.Remove(groupName);
    }
}

void CUiManager::RemoveFromOptionGroups(CControlUI* control)
{
    // Names first: removing the last member deletes the group under the walk.
    std::vector<CUiString> names;
    for (int i = 0; i < m_mOptionGroup.GetSize(); ++i) {
        const wchar_t* key = m_mOptionGroup.GetAt(i);
        const CUiPtrArray* group = key != nullptr ? static_cast<CUiPtrArray*>(m_mOptionGroup.Find(key, false))
                                                  : nullptr;
        if (group != nullptr && group->Find(control) >= 0) {
            names.push_back(key);
        }
    }
    for (const CUiString& name : names) {
        RemoveOptionGroup(name, control);
    }
}

void CUiManager::RemoveAllOptionGroups()
{
    for (int i = 0; i < m_mOptionGroup.GetSize(); ++i) {
        const wchar_t* key = m_mOptionGroup.GetAt(i);
        if (key != nullptr) {
            delete static_cast<CUiPtrArray*>(m_mOptionGroup.Find(key, false));
        }
    }
    m_mOptionGroup.RemoveAll();
}

void CUiManager::AddDefaultAttributeList(const wchar_t* controlName, const wchar_t* attrList, bool shared)
{
    if (controlName == nullptr || attrList == nullptr) {
        return;
    }
    CUiStringMap& table = (shared || m_bUseSharedResources) ? SharedDefaultAttributes() : m_DefaultAttrHash;
    CUiString* copy = new CUiString(attrList);
    delete static_cast<CUiString*>(table.Set(controlName, copy));
}

const wchar_t* CUiManager::GetDefaultAttributeList(const wchar_t* controlName) const
{
    if (controlName == nullptr) {
        return nullptr;
    }
    const CUiString* list = static_cast<const CUiString*>(m_DefaultAttrHash.Find(controlName));
    if (list == nullptr) {
        list = static_cast<const CUiString*>(SharedDefaultAttributes().Find(controlName));
    }
    return list != nullptr ? list->GetData() : nullptr;
}

bool CUiManager::RemoveDefaultAttributeList(const wchar_t* controlName, bool shared)
{
    if (controlName == nullptr) {
        return false;
    }
    CUiStringMap& table = shared ? SharedDefaultAttributes() : m_DefaultAttrHash;
    CUiString* list = static_cast<CUiString*>(table.Find(controlName, false));
    if (list == nullptr) {
        return false;
    }
    delete list;
    return table.Remove(controlName);
}

void CUiManager::RemoveAllDefaultAttributeList(bool shared)
{
    FreeStringValues(shared ? SharedDefaultAttributes() : m_DefaultAttrHash);
}

void CUiManager::AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value)
{
    AddStringValue(m_mWindowCustomAttrHash, name, value);
}

const wchar_t* CUiManager::GetWindowCustomAttribute(const wchar_t* name) const
{
    if (name == nullptr) {
        return nullptr;
    }
    const CUiString* value = static_cast<const CUiString*>(m_mWindowCustomAttrHash.Find(name));
    return value != nullptr ? value->GetData() : nullptr;
}

void CUiManager::RemoveAllWindowCustomAttributes()
{
    FreeStringValues(m_mWindowCustomAttrHash);
    m_mWindowCustomAttrHash.Resize(83);
}

}  // namespace SkinUI
