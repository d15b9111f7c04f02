// CActiveXUI: embeds a COM ActiveX control in a skin window. It creates the
// control from a class id or a program id, optionally from a named module's
// class factory without registration, acts as its OLE client and in-place
// site (CActiveXCtrl), and keeps it placed and shown with the control's
// rectangle. A windowed control lives in a CActiveXWnd child window; a
// windowless one is painted through its view object and receives the
// window's mouse and key messages through this control's message filter.
//
// Creation is delayed by default: setting "clsid" only records the class,
// and the first placement creates the object.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "skinui/core/control_ui.h"
#include "skinui/core/ui_event.h"

namespace SkinUI {

class CActiveXCtrl;

class CActiveXUI : public CControlUI, public IMessageFilterUI {
public:
    CActiveXUI();
    ~CActiveXUI() override;

    // CControlUI
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // IMessageFilterUI: the window's messages for an in-place active windowless object.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    // Disconnects and releases the hosted object and its site.
    virtual void ReleaseControl();
    // Creates the object for the recorded class id; false (logged) when any
    // step fails, leaving the control empty.
    virtual bool DoCreateControl();

    // A class id in braces or a program id (at most 99 characters are used).
    // Records the class and creates the object at once unless creation is
    // delayed; false (logged) for an unknown or all-zero class.
    bool CreateControl(const wchar_t* classOrProgId);
    bool CreateControl(const CLSID& clsid);
    const CLSID& GetClsid() const { return m_clsid; }
    bool IsDelayCreate() const { return m_bDelayCreate; }
    void SetDelayCreate(bool delay) { m_bDelayCreate = delay; }
    const CUiString& GetModuleName() const { return m_sModuleName; }
    // The module whose class factory makes the object: a file name of the
    // program's folder (unless the program refuses it) or the system folder;
    // a path is refused (utility::loadModuleByName). Empty: the registry.
    void SetModuleName(const wchar_t* path) { m_sModuleName = path; }
    // QueryInterface on the hosted object; false when there is none or it
    // lacks the interface.
    bool GetControl(REFIID iid, void** object) const;
    // The window that hosts a windowed object (null otherwise).
    HWND GetHostWindow() const { return m_hwndHost; }
    // The owning skin window (null without a manager).
    HWND GetManagerWindow() const;

protected:
    friend class CActiveXCtrl;

    // The object from the module's class factory; null (logged) when the
    // module, its export or the class is missing.
    IOleObject* CreateFromModule();
    // Unloads the module of the last object when it agrees to go.
    void UnloadModule();
    // The item rectangle in the coordinates the in-place object uses.
    RECT GetObjectRect() const;
    void ShowHostWindow();

    CLSID m_clsid;
    CUiString m_sModuleName;
    bool m_bCreated;
    bool m_bDelayCreate;
    IOleObject* m_pUnk;
    CActiveXCtrl* m_pControl;
    HWND m_hwndHost;
    bool m_bComInitialized;
    HMODULE m_hModule;
};

}  // namespace SkinUI
