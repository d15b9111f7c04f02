#include "skinui/controls/child_layout_ui.h"

#include "foundation/log.h"
#include "skinui/core/skin_builder.h"

namespace SkinUI {

namespace {

// Skin file names as the skin data finds them: either slash, any case.
bool SameSkinFile(CUiString a, CUiString b)
{
    a.Replace(L"\\", L"/");
    b.Replace(L"\\", L"/");
    return a.CompareNoCase(b) == 0;
}

}  // namespace

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
    // A file that holds a layout of itself, at once or through others, would
    // be built without end: the layout inside stays empty.
    int depth = 1;
    for (CControlUI* above = GetParent(); above != nullptr; above = above->GetParent()) {
        ++depth;
        CChildLayoutUI* layout = static_cast<CChildLayoutUI*>(above->GetInterface(L"ChildLayout"));
        if (layout != nullptr && SameSkinFile(layout->m_pstrXMLFile, m_pstrXMLFile)) {
            common::log("CChildLayoutUI::Init", __LINE__, L"skin %s holds itself: not built again lastError = %d",
                        m_pstrXMLFile.GetData(), 0);
            return;
        }
    }
    CSkinBuilder builder;
    builder.SetStartDepth(depth);
    CControlUI* content = builder.Create(m_pstrXMLFile.GetData(), nullptr, nullptr, m_pManager, nullptr);
    if (content == nullptr) {
        wchar_t message[100] = L"";
        builder.GetLastErrorMessage(message, 100);
        common::log("CChildLayoutUI::Init", __LINE__, L"skin %s not built: %s lastError = %d", m_pstrXMLFile.GetData(),
                    message, static_cast<int>(::GetLastError()));
        RemoveAll();
        return;
    }
    // Linked to this layout before Add initialises it, so that the layouts
    // inside find this one above them.
    content->SetManager(nullptr, this, false);
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
