// COptionUI: a button with a selected state. Options that share a group name
// in one window are radio buttons (selecting one deselects the others, and
// only the newly selected one sends "selectchanged"); an option without a
// group toggles like a check box. CCheckBoxUI is the same control under the
// class name "CheckBox".
//
// Group membership lives in the window manager (CUiManager::AddOptionGroup)
// and exists only while the option has a manager: joined when the option is
// initialised in a window or given a group, left when it changes group or
// goes away.
#pragma once

#include <windows.h>

#include "skinui/controls/button_ui.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // The button's "click", then Selected(true) in a group or a toggle without one.
    bool Activate() override;
    void SetManager(CUiManager* manager, CControlUI* parent, bool init = true) override;
    void SetEnabled(bool enable = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    bool IsSelected() const { return m_bSelected; }
    // Selecting an option of a group deselects the others of the group.
    virtual void Selected(bool selected, bool sendNotify = true);

    const CUiString& GetGroup() const { return m_sGroupName; }
    // Null or empty: no group.
    void SetGroup(const wchar_t* groupName);

    void SetSelectedBkColor(DWORD color) { m_dwSelectedBkColor = color; }
    DWORD GetSelectedBkColor() const { return m_dwSelectedBkColor; }
    void SetSelectedTextColor(DWORD color) { m_dwSelectedTextColor = color; }
    DWORD GetSelectedTextColor() const { return m_dwSelectedTextColor; }
    void SetSelectedImage(const wchar_t* description) { SetStateImage(*this, m_diSelected, description); }
    void SetSelectedHotImage(const wchar_t* description) { SetStateImage(*this, m_diSelectedHot, description); }
    void SetSelectedDisabledImage(const wchar_t* description)
    {
        SetStateImage(*this, m_diSelectedDisabled, description);
    }
    void SetOptionForeImage(const wchar_t* description) { SetStateImage(*this, m_diOptionFore, description); }

private:
    // The selected-state look; false when nothing of it was drawn.
    bool PaintSelectedImage(HDC hDC);

    bool m_bSelected;
    CUiString m_sGroupName;
    DWORD m_dwSelectedBkColor;
    DWORD m_dwSelectedTextColor;
    UiDrawInfo m_diSelected;
    UiDrawInfo m_diSelectedHot;
    UiDrawInfo m_diSelectedDisabled;
    UiDrawInfo m_diOptionFore;
};

class CCheckBoxUI : public COptionUI {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
};

}  // namespace SkinUI
