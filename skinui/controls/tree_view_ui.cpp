#include "skinui/controls/tree_view_ui.h"

#include "foundation/log.h"
#include "skinui/controls/list_header_ui.h"
#include "skinui/controls/option_ui.h"
#include "skinui/controls/tree_node_ui.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/delegate.h"

namespace SkinUI {

namespace {

typedef CDelegate<CTreeViewUI, CTreeViewUI> TreeDelegate;

bool IsSelected(CControlUI* button)
{
    COptionUI* option = button != nullptr ? static_cast<COptionUI*>(button->GetInterface(L"Option")) : nullptr;
    return option != nullptr && option->IsSelected();
}

}  // namespace

CTreeViewUI::CTreeViewUI() : m_uItemMinWidth(0), m_bVisibleFolderBtn(true), m_bVisibleCheckBtn(false)
{
    GetHeader()->SetVisible(false);
}

CTreeViewUI::~CTreeViewUI() {}

const wchar_t* CTreeViewUI::GetClass() const { return L"TreeView"; }

LPVOID CTreeViewUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TreeView") == 0) {
        return static_cast<CTreeViewUI*>(this);
    }
    return CListUI::GetInterface(name);
}

// ---- Rows ----

bool CTreeViewUI::CanTake(CTreeNodeUI* node, const char* caller)
{
    if (node == nullptr || !node->HasRowControls()) {
        common::log(caller, __LINE__, L"only a tree node with its row is a row of a tree view");
        return false;
    }
    if (GetItemIndex(node) >= 0) {
        common::log(caller, __LINE__, L"the node is a row of this view already");
        return false;
    }
    return true;
}

void CTreeViewUI::Attach(CTreeNodeUI* node)
{
    node->OnNotify += TreeDelegate(this, &CTreeViewUI::OnDBClickItem);
    node->GetFolderButton()->OnNotify += TreeDelegate(this, &CTreeViewUI::OnFolderChanged);
    node->GetCheckBox()->OnNotify += TreeDelegate(this, &CTreeViewUI::OnCheckBoxChanged);
    node->SetVisibleFolderBtn(m_bVisibleFolderBtn);
    node->SetVisibleCheckBtn(m_bVisibleCheckBtn);
    if (m_uItemMinWidth > 0) {
        node->SetMinWidth(static_cast<int>(m_uItemMinWidth));
    }
}

bool CTreeViewUI::Add(CTreeNodeUI* node)
{
    if (!CanTake(node, "CTreeViewUI::Add")) {
        return false;
    }
    Attach(node);
    if (!CListUI::Add(node)) {
        return false;
    }
    for (int i = 0; i < node->GetCountChild(); ++i) {
        Add(node->GetChildNode(i));
    }
    node->SetTreeView(this);
    return true;
}

int CTreeViewUI::InsertRows(CTreeNodeUI* node, int index)
{
    Attach(node);
    if (!CListUI::AddAt(node, index)) {
        common::log("CTreeViewUI::InsertRows", __LINE__, L"row not inserted at %d", index);
        return -1;
    }
    node->SetTreeView(this);
    int next = index + 1;
    for (int i = 0; i < node->GetCountChild() && next >= 0; ++i) {
        next = InsertRows(node->GetChildNode(i), next);
    }
    return next;
}

int CTreeViewUI::AddAt(CTreeNodeUI* node, int index)
{
    if (!CanTake(node, "CTreeViewUI::AddAt")) {
        return -1;
    }
    if (index < 0 || index >= GetCount()) {
        common::log("CTreeViewUI::AddAt", __LINE__, L"no row at %d of %d", index, GetCount());
        return -1;
    }
    return InsertRows(node, index);
}

bool CTreeViewUI::AddAt(CTreeNodeUI* node, CTreeNodeUI* indexNode)
{
    const int index = indexNode != nullptr ? GetItemIndex(indexNode) : -1;
    if (index < 0) {
        common::log("CTreeViewUI::AddAt", __LINE__, L"the node to insert before is no row of this view");
        return false;
    }
    return AddAt(node, index) >= 0;
}

bool CTreeViewUI::Add(CControlUI* control)
{
    CTreeNodeUI* node = CTreeNodeUI::NodeOf(control);
    if (node == nullptr) {
        common::log("CTreeViewUI::Add", __LINE__, L"%s refused: a tree view holds tree nodes only",
                    control != nullptr ? control->GetClass() : L"(null)");
        return false;
    }
    return Add(node);
}

bool CTreeViewUI::AddAt(CControlUI* control, int index)
{
    CTreeNodeUI* node = CTreeNodeUI::NodeOf(control);
    if (node == nullptr) {
        common::log("CTreeViewUI::AddAt", __LINE__, L"%s refused: a tree view holds tree nodes only",
                    control != nullptr ? control->GetClass() : L"(null)");
        return false;
    }
    return AddAt(node, index) >= 0;
}

void CTreeViewUI::RemoveRows(CTreeNodeUI* node, bool doNotDestroy)
{
    // Children first: a node removed without a window is deleted at once.
    for (int i = node->GetCountChild() - 1; i >= 0; --i) {
        RemoveRows(node->GetChildNode(i), doNotDestroy);
    }
    node->SetTreeView(nullptr);
    // The list's Remove would come back through this view's RemoveAt.
    CListUI::RemoveAt(GetItemIndex(node), doNotDestroy);
}

bool CTreeViewUI::Remove(CTreeNodeUI* node, bool doNotDestroy)
{
    if (node == nullptr || GetItemIndex(node) < 0) {
        return false;
    }
    if (CTreeNodeUI* parent = node->GetParentNode()) {
        parent->RemoveChildNode(node);
    }
    RemoveRows(node, doNotDestroy);
    return true;
}

bool CTreeViewUI::Remove(CControlUI* control, bool doNotDestroy)
{
    if (CTreeNodeUI* node = CTreeNodeUI::NodeOf(control)) {
        return Remove(node, doNotDestroy);
    }
    return CListUI::Remove(control, doNotDestroy);
}

bool CTreeViewUI::RemoveAt(int index, bool doNotDestroy)
{
    CControlUI* row = GetItemAt(index);
    if (row == nullptr) {
        return false;
    }
    if (CTreeNodeUI* node = CTreeNodeUI::NodeOf(row)) {
        return Remove(node, doNotDestroy);
    }
    return CListUI::RemoveAt(index, doNotDestroy);
}

// ---- Checking and expanding ----

CTreeNodeUI* CTreeViewUI::NodeOfButton(CControlUI* button)
{
    CControlUI* row = button != nullptr ? button->GetParent() : nullptr;
    return CTreeNodeUI::NodeOf(row != nullptr ? row->GetParent() : nullptr);
}

bool CTreeViewUI::OnCheckBoxChanged(void* param)
{
    UiNotify* msg = static_cast<UiNotify*>(param);
    if (msg->sType == L"selectchanged") {
        if (CTreeNodeUI* node = NodeOfButton(msg->pSender)) {
            SetItemCheckBox(IsSelected(msg->pSender), node);
        }
    }
    return true;
}

bool CTreeViewUI::OnFolderChanged(void* param)
{
    UiNotify* msg = static_cast<UiNotify*>(param);
    if (msg->sType == L"selectchanged") {
        if (CTreeNodeUI* node = NodeOfButton(msg->pSender)) {
            const bool expanded = !IsSelected(msg->pSender);
            node->SetVisibleTag(expanded);
            SetItemExpand(expanded, node);
        }
    }
    return true;
}

bool CTreeViewUI::OnDBClickItem(void* param)
{
    UiNotify* msg = static_cast<UiNotify*>(param);
    if (msg->sType != L"itemdbclick") {
        return false;
    }
    CTreeNodeUI* node = CTreeNodeUI::NodeOf(msg->pSender);
    if (node == nullptr || !node->HasRowControls()) {
        return true;
    }
    COptionUI* folder = node->GetFolderButton();
    // The folder's own "selectchanged" reaches OnFolderChanged as well.
    folder->Selected(!folder->IsSelected());
    node = CTreeNodeUI::NodeOf(msg->pSender);  // a listener may have removed it
    if (node != nullptr) {
        const bool expanded = !node->GetFolderButton()->IsSelected();
        node->SetVisibleTag(expanded);
        SetItemExpand(expanded, node);
    }
    return true;
}

bool CTreeViewUI::SetItemCheckBox(bool checked, CTreeNodeUI* node)
{
    if (node == nullptr) {
        for (int i = 0; i < GetCount(); ++i) {
            CTreeNodeUI* row = CTreeNodeUI::NodeOf(GetItemAt(i));
            if (row != nullptr && row->HasRowControls()) {
                row->GetCheckBox()->Selected(checked);
            }
        }
        return true;
    }
    // A copy: a "selectchanged" listener may change the children.
    CUiPtrArray children(node->GetTreeNodes());
    for (int i = 0; i < children.GetSize(); ++i) {
        CTreeNodeUI* child = static_cast<CTreeNodeUI*>(children[i]);
        if (node->GetTreeNodes().Find(child) < 0) {
            continue;
        }
        child->GetCheckBox()->Selected(checked);
        if (child->IsHasChild()) {
            SetItemCheckBox(checked, child);
        }
    }
    return true;
}

void CTreeViewUI::SetItemExpand(bool expanded, CTreeNodeUI* node)
{
    if (node == nullptr) {
        for (int i = 0; i < GetCount(); ++i) {
            if (CControlUI* row = GetItemAt(i)) {
                row->SetVisible(expanded);
            }
        }
        return;
    }
    for (int i = 0; i < node->GetCountChild(); ++i) {
        CTreeNodeUI* child = node->GetChildNode(i);
        child->SetVisible(expanded);
        // A collapsed child keeps its own sub-tree hidden.
        if (child->IsHasChild() && !child->GetFolderButton()->IsSelected()) {
            SetItemExpand(expanded, child);
        }
    }
}

// ---- Settings given to every row ----

void CTreeViewUI::SetVisibleFolderBtn(bool visible)
{
    m_bVisibleFolderBtn = visible;
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = CTreeNodeUI::NodeOf(GetItemAt(i))) {
            row->SetVisibleFolderBtn(visible);
        }
    }
}

void CTreeViewUI::SetVisibleCheckBtn(bool visible)
{
    m_bVisibleCheckBtn = visible;
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = CTreeNodeUI::NodeOf(GetItemAt(i))) {
            row->SetVisibleCheckBtn(visible);
        }
    }
}

void CTreeViewUI::SetItemMinWidth(UINT width)
{
    m_uItemMinWidth = width;
    for (int i = 0; i < GetCount(); ++i) {
        if (CControlUI* row = GetItemAt(i)) {
            row->SetMinWidth(static_cast<int>(width));
        }
    }
    Invalidate();
}

void CTreeViewUI::SetItemTextColor(DWORD color)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = CTreeNodeUI::NodeOf(GetItemAt(i))) {
            row->SetItemTextColor(color);
        }
    }
}

void CTreeViewUI::SetItemHotTextColor(DWORD color)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = CTreeNodeUI::NodeOf(GetItemAt(i))) {
            row->SetItemHotTextColor(color);
        }
    }
}

void CTreeViewUI::SetSelItemTextColor(DWORD color)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = CTreeNodeUI::NodeOf(GetItemAt(i))) {
            row->SetSelItemTextColor(color);
        }
    }
}

void CTreeViewUI::SetSelItemHotTextColor(DWORD color)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (CTreeNodeUI* row = CTreeNodeUI::NodeOf(GetItemAt(i))) {
            row->SetSelItemHotTextColor(color);
        }
    }
}

void CTreeViewUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"visiblefolderbtn") == 0) {
        SetVisibleFolderBtn(ParseBool(value));
    } else if (wcscmp(name, L"visiblecheckbtn") == 0) {
        SetVisibleCheckBtn(ParseBool(value));
    } else if (wcscmp(name, L"itemminwidth") == 0) {
        const int width = ParseInt(value);
        SetItemMinWidth(width > 0 ? static_cast<UINT>(width) : 0);
    } else if (wcscmp(name, L"itemtextcolor") == 0) {
        SetItemTextColor(ParseColor(value));
    } else if (wcscmp(name, L"itemhottextcolor") == 0) {
        SetItemHotTextColor(ParseColor(value));
    } else if (wcscmp(name, L"selitemtextcolor") == 0) {
        SetSelItemTextColor(ParseColor(value));
    } else if (wcscmp(name, L"selitemhottextcolor") == 0) {
        SetSelItemHotTextColor(ParseColor(value));
    } else {
        CListUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
