#include "skinui/controls/child_layout_ui.h"

#include "foundation/log.h"
#include "skinui/core/skin_builder.h"

namespace SkinUI {

CChildLayoutUI::CChildLayoutUI() {}

CChildLayoutUI::~CChildLayoutUI() {}

const wchar_t* CChildLayoutUI::GetClass() const { return L"ChildLayout"; }

LPVOID CChildLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ChildLayout") == 0) {
        return static_cast<CChildLayoutUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

void CChildLayoutUI::Init()
{
    // The window initialises its tree more than once (a re-attached root,
    // a layout moved between containers): the content is built only while
    // there is none.
    if (m_pstrXMLFile.IsEmpty() || GetCount() > 0) {
        return;
    }
    CSkinBuilder builder;
    CControlUI* content = builder.Create(m_pstrXMLFile.GetData(), nullptr, nullptr, m_pManager, nullptr);
    if (content == nullptr) {
        wchar_t message[100] = L"";
        builder.GetLastErrorMessage(message, 100);
        common::log("CChildLayoutUI::Init", __LINE__, L"skin %s not built: %s lastError = %d", m_pstrXMLFile.GetData(),
                    message, static_cast<int>(::GetLastError()));
        RemoveAll();
        return;
    }
    Add(content);
}

void CChildLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && wcscmp(name, L"xmlfile") == 0) {
        SetChildLayoutXML(value != nullptr ? value : L"");
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
