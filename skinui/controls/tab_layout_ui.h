// CTabLayoutUI: a container that shows one of its children (a page) at a
// time, sized to its inset rectangle. Selecting a page sends "tabselect"
// with the new index in wParam and the old one (-1 for none) in lParam.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
public:
    CTabLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // The first visible page added becomes current; later pages are hidden.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // Removing the current page shows the first page left.
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    void RemoveAll() override;

    int GetCurSel() const { return m_iCurSel; }
    // False for an index outside the pages; true without a change for the
    // current page.
    bool SelectItem(int index, bool sendNotify = true);

private:
    // A page just added: current when there is none, hidden otherwise.
    void TakePage(CControlUI* control);

    int m_iCurSel;
};

}  // namespace SkinUI
