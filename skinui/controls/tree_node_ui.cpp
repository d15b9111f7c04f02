#include "skinui/controls/tree_node_ui.h"

#include "foundation/log.h"
#include "skinui/controls/horizontal_layout_ui.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/option_ui.h"
#include "skinui/controls/tree_view_ui.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// Each level of the tree indents the row by this many pixels more.
const int kIndentStep = 16;

bool IsMouseEvent(const UiEvent& event) { return event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND; }

}  // namespace

CTreeNodeUI::CTreeNodeUI(CControlUI* parent)
    : m_bVisibleTag(true),
      m_dwItemTextColor(0),
      m_dwItemHotTextColor(0),
      m_dwSelItemTextColor(0),
      m_dwSelItemHotTextColor(0),
      m_pTreeView(nullptr),
      m_pHoriz(nullptr),
      m_pFolderButton(nullptr),
      m_pDottedLine(nullptr),
      m_pCheckBox(nullptr),
      m_pItemButton(nullptr),
      m_pParentNode(nullptr)
{
    SetFixedHeight(18);
    SetFixedWidth(250);
    CTreeNodeUI* parentNode = nullptr;
    if (parent != nullptr) {
        parentNode = _wcsicmp(parent->GetClass(), L"TreeNode") == 0 ? NodeOf(parent) : nullptr;
        if (parentNode == nullptr || !parentNode->HasRowControls()) {
            common::log("CTreeNodeUI::CTreeNodeUI", __LINE__, L"parent %s is no tree node: node built without its row",
                        parent->GetClass());
            return;
        }
    }
    m_pHoriz = new CHorizontalLayoutUI;
    m_pDottedLine = new CLabelUI;
    m_pFolderButton = new CCheckBoxUI;
    m_pCheckBox = new CCheckBoxUI;
    m_pItemButton = new COptionUI;

    m_pFolderButton->SetFixedWidth(GetFixedHeight());
    m_pCheckBox->SetFixedWidth(GetFixedHeight());
    m_pDottedLine->SetFixedWidth(2);
    m_pItemButton->SetAttribute(L"align", L"left");
    m_pDottedLine->SetVisible(false);
    m_pCheckBox->SetVisible(false);
    m_pItemButton->SetMouseEnabled(false);
    if (parentNode != nullptr) {
        m_pDottedLine->SetVisible(parentNode->IsVisible());
        m_pDottedLine->SetFixedWidth(parentNode->m_pDottedLine->GetFixedWidth() + kIndentStep);
        m_pParentNode = parentNode;
    }
    m_pHoriz->Add(m_pDottedLine);
    m_pHoriz->Add(m_pFolderButton);
    m_pHoriz->Add(m_pCheckBox);
    m_pHoriz->Add(m_pItemButton);
    // The container's own insertion: AddAt of a node takes only tree nodes.
    CContainerUI::AddAt(m_pHoriz, GetCount());
}

// The child nodes are rows of the tree view, which deletes them; a node
// going away touches neither them nor its parent node, which may be gone.
CTreeNodeUI::~CTreeNodeUI() {}

const wchar_t* CTreeNodeUI::GetClass() const { return L"TreeNode"; }

LPVOID CTreeNodeUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TreeNode") == 0) {
        return static_cast<CTreeNodeUI*>(this);
    }
    return CListContainerElementUI::GetInterface(name);
}

CTreeNodeUI* CTreeNodeUI::NodeOf(CControlUI* control)
{
    return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
}

// ---- Events ----

void CTreeNodeUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event)) {
        if (m_pOwner != nullptr) {
            m_pOwner->DoEvent(event);
        } else {
            CContainerUI::DoEvent(event);
        }
        return;
    }
    CLifeWatch watch(m_life);
    CListContainerElementUI::DoEvent(event);
    if (watch.IsDead() || m_pItemButton == nullptr) {
        return;
    }
    switch (event.Type) {
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"itemdbclick");
            if (watch.IsDead()) {
                return;
            }
            Invalidate();
        }
        break;
    case UIEVENT_MOUSEENTER:
        if (!IsEnabled()) {
            m_pItemButton->SetTextColor(m_pItemButton->GetDisabledTextColor());
        } else if (IsSelected() && m_dwSelItemHotTextColor != 0) {
            m_pItemButton->SetTextColor(m_dwSelItemHotTextColor);
        } else {
            m_pItemButton->SetTextColor(m_dwItemHotTextColor);
        }
        break;
    case UIEVENT_MOUSELEAVE:
        // Still over the row (over one of its buttons): the row stays hot.
        if (::PtInRect(&m_rcItem, event.ptMouse)) {
            break;
        }
        if (!IsEnabled()) {
            m_pItemButton->SetTextColor(m_pItemButton->GetDisabledTextColor());
        } else if (IsSelected()) {
            if (m_dwSelItemTextColor != 0) {
                m_pItemButton->SetTextColor(m_dwSelItemTextColor);
            }
        } else {
            m_pItemButton->SetTextColor(m_dwItemTextColor);
        }
        break;
    default:
        break;
    }
}

bool CTreeNodeUI::Select(bool select, bool sendNotify)
{
    CLifeWatch watch(m_life);
    const bool result = CListContainerElementUI::Select(select, sendNotify);
    if (!watch.IsDead() && m_pItemButton != nullptr) {
        m_pItemButton->SetTextColor(IsSelected() ? m_dwSelItemTextColor : m_dwItemTextColor);
    }
    return result;
}

// ---- Attributes and appearance ----

void CTreeNodeUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || !HasRowControls()) {
        CListContainerElementUI::SetAttribute(name, value);
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"text") == 0) {
        m_pItemButton->SetText(value);
    } else if (wcscmp(name, L"horizattr") == 0) {
        m_pHoriz->ApplyAttributeList(value);
    } else if (wcscmp(name, L"dotlineattr") == 0) {
        m_pDottedLine->ApplyAttributeList(value);
    } else if (wcscmp(name, L"folderattr") == 0) {
        m_pFolderButton->ApplyAttributeList(value);
    } else if (wcscmp(name, L"checkboxattr") == 0) {
        m_pCheckBox->ApplyAttributeList(value);
    } else if (wcscmp(name, L"itemattr") == 0) {
        m_pItemButton->ApplyAttributeList(value);
    } else if (wcscmp(name, L"itemtextcolor") == 0) {
        SetItemTextColor(ParseColor(value));
    } else if (wcscmp(name, L"itemhottextcolor") == 0) {
        SetItemHotTextColor(ParseColor(value));
    } else if (wcscmp(name, L"selitemtextcolor") == 0) {
        SetSelItemTextColor(ParseColor(value));
    } else if (wcscmp(name, L"selitemhottextcolor") == 0) {
        SetSelItemHotTextColor(ParseColor(value));
    } else {
        CListContainerElementUI::SetAttribute(name, value);
    }
}

CUiString CTreeNodeUI::GetItemText() const { return m_pItemButton != nullptr ? m_pItemButton->GetText() : CUiString(); }

void CTreeNodeUI::SetVisibleFolderBtn(bool visible)
{
    if (m_pFolderButton != nullptr) {
        m_pFolderButton->SetVisible(visible);
    }
}

bool CTreeNodeUI::GetVisibleFolderBtn() const { return m_pFolderButton != nullptr && m_pFolderButton->IsVisible(); }

void CTreeNodeUI::SetVisibleCheckBtn(bool visible)
{
    if (m_pCheckBox != nullptr) {
        m_pCheckBox->SetVisible(visible);
    }
}

bool CTreeNodeUI::GetVisibleCheckBtn() const { return m_pCheckBox != nullptr && m_pCheckBox->IsVisible(); }

void CTreeNodeUI::SetItemTextColor(DWORD color)
{
    m_dwItemTextColor = color;
    if (m_pItemButton != nullptr) {
        m_pItemButton->SetTextColor(color);
    }
    Invalidate();
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color)
{
    m_dwItemHotTextColor = color;
    Invalidate();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color)
{
    m_dwSelItemTextColor = color;
    Invalidate();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color)
{
    m_dwSelItemHotTextColor = color;
    Invalidate();
}

// ---- The tree ----

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const { return static_cast<CTreeNodeUI*>(m_aTreeNodes.GetAt(index)); }

int CTreeNodeUI::GetTreeIndex() const
{
    if (m_pTreeView == nullptr) {
        return -1;
    }
    return m_pTreeView->GetItemIndex(const_cast<CTreeNodeUI*>(this));
}

CTreeNodeUI* CTreeNodeUI::GetLastNode()
{
    CTreeNodeUI* node = this;
    while (node->IsHasChild()) {
        CTreeNodeUI* last = nullptr;
        for (int i = node->GetCountChild() - 1; i >= 0 && last == nullptr; --i) {
            last = node->GetChildNode(i);
        }
        if (last == nullptr) {
            break;
        }
        node = last;
    }
    return node;
}

bool CTreeNodeUI::CanAdopt(CTreeNodeUI* child, const char* caller) const
{
    if (child == nullptr || !child->HasRowControls() || !HasRowControls()) {
        common::log(caller, __LINE__, L"only a tree node with its row becomes a child node");
        return false;
    }
    // A node cannot go under itself or under its own sub-tree, nor be a
    // child of two nodes or a row of two views.
    for (const CTreeNodeUI* up = this; up != nullptr; up = up->m_pParentNode) {
        if (up == child) {
            common::log(caller, __LINE__, L"a node cannot become a child of its own sub-tree");
            return false;
        }
    }
    if ((child->m_pParentNode != nullptr && child->m_pParentNode != this) || m_aTreeNodes.Find(child) >= 0 ||
        child->GetTreeIndex() >= 0) {
        common::log(caller, __LINE__, L"the node already has a place in a tree");
        return false;
    }
    return true;
}

void CTreeNodeUI::CalLocation(CTreeNodeUI* child)
{
    child->m_pDottedLine->SetVisible(true);
    child->m_pDottedLine->SetFixedWidth(m_pDottedLine->GetFixedWidth() + kIndentStep);
    child->m_pParentNode = this;
    child->m_pItemButton->SetGroup(m_pItemButton->GetGroup());
    child->SetTreeView(m_pTreeView);
    // A sub-tree built elsewhere comes with the indents of its old place.
    for (int i = 0; i < child->GetCountChild(); ++i) {
        if (CTreeNodeUI* grandchild = child->GetChildNode(i)) {
            child->CalLocation(grandchild);
        }
    }
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* child)
{
    if (!CanAdopt(child, "CTreeNodeUI::AddChildNode")) {
        return false;
    }
    CalLocation(child);
    if (m_pTreeView != nullptr) {
        // After the last row of this node's sub-tree.
        const int last = (IsHasChild() ? GetChildNode(GetCountChild() - 1)->GetLastNode() : this)->GetTreeIndex();
        const int at = last + 1;
        const bool inserted = last >= 0 && (at < m_pTreeView->GetCount() ? m_pTreeView->AddAt(child, at) >= 0
                                                                         : m_pTreeView->Add(child));
        if (!inserted) {
            common::log("CTreeNodeUI::AddChildNode", __LINE__, L"the child's row was not inserted at %d", at);
            child->m_pParentNode = nullptr;
            return false;
        }
    }
    if (!m_aTreeNodes.Add(child)) {
        common::log("CTreeNodeUI::AddChildNode", __LINE__, L"child node not kept");
        return false;
    }
    return true;
}

bool CTreeNodeUI::RemoveChildNode(CTreeNodeUI* child)
{
    const int index = m_aTreeNodes.Find(child);
    if (index < 0) {
        return false;
    }
    m_aTreeNodes.Remove(index);
    if (child->m_pParentNode == this) {
        child->m_pParentNode = nullptr;
    }
    return true;
}

bool CTreeNodeUI::Add(CControlUI* control)
{
    if (CTreeNodeUI* child = NodeOf(control)) {
        return AddChildNode(child);
    }
    return CContainerUI::AddAt(control, GetCount());
}

bool CTreeNodeUI::AddAt(CControlUI* control, int index)
{
    CTreeNodeUI* child = NodeOf(control);
    if (!CanAdopt(child, "CTreeNodeUI::AddAt")) {
        return false;
    }
    // The row the child's rows go before: the rows of the child now at that
    // place, or, for a child appended, the row after this node's sub-tree.
    CControlUI* before = nullptr;
    const bool append = index < 0 || index >= GetCountChild();
    if (append) {
        const int last = GetLastNode()->GetTreeIndex();
        if (m_pTreeView != nullptr && last >= 0) {
            before = m_pTreeView->GetItemAt(last + 1);
        }
    } else {
        before = GetChildNode(index);
    }
    if (!(append ? m_aTreeNodes.Add(child) : m_aTreeNodes.InsertAt(index, child))) {
        common::log("CTreeNodeUI::AddAt", __LINE__, L"child node not kept");
        return false;
    }
    CalLocation(child);
    if (m_pTreeView == nullptr) {
        return true;
    }
    const int at = before != nullptr ? m_pTreeView->GetItemIndex(before) : -1;
    const bool inserted = at >= 0 ? m_pTreeView->AddAt(child, at) >= 0 : m_pTreeView->Add(child);
    if (!inserted) {
        common::log("CTreeNodeUI::AddAt", __LINE__, L"the child's row was not inserted");
        RemoveChildNode(child);
        return false;
    }
    return true;
}

}  // namespace SkinUI
