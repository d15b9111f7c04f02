// CChildLayoutUI: a container that fills itself from a second skin file
// ("xmlfile"), built once when the window initialises it. It answers only
// its own interface and the control's: skins cannot add children to it.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"

namespace SkinUI {

class CChildLayoutUI : public CContainerUI {
public:
    CChildLayoutUI();
    ~CChildLayoutUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // Builds the skin file's content, once: later inits of a layout that
    // has its content change nothing.
    void Init() override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    const CUiString& GetChildLayoutXML() const { return m_pstrXMLFile; }
    void SetChildLayoutXML(const CUiString& file) { m_pstrXMLFile = file; }

private:
    CUiString m_pstrXMLFile;
};

}  // namespace SkinUI
