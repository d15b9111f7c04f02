// CTreeNodeUI ("TreeNode"): one node of a tree view and the row that shows
// it. The row is built by the node itself: a horizontal layout holding an
// indentation label (16 pixels wider per level), a folder button (checked =
// collapsed), a selection check box (hidden unless the view shows them) and
// the item button that shows the text. The node keeps its parent node and
// its child nodes; it owns neither, every node being a row of the tree view,
// which owns it.
#pragma once

#include <windows.h>

#include "skinui/controls/list_container_element_ui.h"
#include "skinui/core/ui_ptr_array.h"

namespace SkinUI {

class CCheckBoxUI;
class CHorizontalLayoutUI;
class CLabelUI;
class COptionUI;
class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
public:
    // parent: the node this one will be a child of, or null for a top-level
    // node. A parent that is not a tree node leaves the node without its row
    // controls: such a node is refused by tree views and other nodes.
    explicit CTreeNodeUI(CControlUI* parent = nullptr);
    ~CTreeNodeUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // A tree node becomes a child node (AddChildNode); anything else goes
    // into the node's own container, beside its row.
    bool Add(CControlUI* control) override;
    // Only tree nodes: the child node at that place among the child nodes
    // (appended when there is none), its rows in the view before that
    // child's, or after the rows of this node's sub-tree.
    bool AddAt(CControlUI* control, int index) override;
    // The item button takes the selected or the normal item text colour.
    bool Select(bool select = true, bool sendNotify = true) override;

    // The node of a control ("TreeNode" interface), or null.
    static CTreeNodeUI* NodeOf(CControlUI* control);
    // False for a node built under a parent that is not a tree node.
    bool HasRowControls() const { return m_pItemButton != nullptr; }

    CTreeNodeUI* GetChildNode(int index) const;
    int GetCountChild() const { return m_aTreeNodes.GetSize(); }
    bool IsHasChild() const { return !m_aTreeNodes.IsEmpty(); }
    const CUiPtrArray& GetTreeNodes() const { return m_aTreeNodes; }
    CTreeNodeUI* GetParentNode() const { return m_pParentNode; }
    void SetParentNode(CTreeNodeUI* parent) { m_pParentNode = parent; }
    CTreeViewUI* GetTreeView() const { return m_pTreeView; }
    void SetTreeView(CTreeViewUI* view) { m_pTreeView = view; }

    CUiString GetItemText() const;
    CCheckBoxUI* GetFolderButton() const { return m_pFolderButton; }
    CCheckBoxUI* GetCheckBox() const { return m_pCheckBox; }
    COptionUI* GetItemButton() const { return m_pItemButton; }
    CLabelUI* GetDottedLine() const { return m_pDottedLine; }
    CHorizontalLayoutUI* GetRowLayout() const { return m_pHoriz; }

    // The node's own expanded state as its folder button last set it.
    void SetVisibleTag(bool visible) { m_bVisibleTag = visible; }
    bool GetVisibleTag() const { return m_bVisibleTag; }
    void SetVisibleFolderBtn(bool visible);
    bool GetVisibleFolderBtn() const;
    void SetVisibleCheckBtn(bool visible);
    bool GetVisibleCheckBtn() const;

    void SetItemTextColor(DWORD color);
    DWORD GetItemTextColor() const { return m_dwItemTextColor; }
    void SetItemHotTextColor(DWORD color);
    DWORD GetItemHotTextColor() const { return m_dwItemHotTextColor; }
    void SetSelItemTextColor(DWORD color);
    DWORD GetSelItemTextColor() const { return m_dwSelItemTextColor; }
    void SetSelItemHotTextColor(DWORD color);
    DWORD GetSelItemHotTextColor() const { return m_dwSelItemHotTextColor; }

    // The node's row index in its tree view, -1 without one or when absent.
    int GetTreeIndex() const;
    // The last row of the node's sub-tree: the node itself without children,
    // else the last descendant through the last children.
    CTreeNodeUI* GetLastNode();
    // Appends a child node; in a tree view its row (and those of its
    // sub-tree) go after the rows of this node's sub-tree.
    bool AddChildNode(CTreeNodeUI* child);
    // Takes a child node out of the child nodes (its rows stay where they are).
    bool RemoveChildNode(CTreeNodeUI* child);

private:
    // Makes child a child of this node: indented one level deeper (its own
    // sub-tree with it), its item button in this item button's option group,
    // in this node's tree view.
    void CalLocation(CTreeNodeUI* child);
    // False, with a log line, when child cannot become a child of this node.
    bool CanAdopt(CTreeNodeUI* child, const char* caller) const;

    bool m_bVisibleTag;
    DWORD m_dwItemTextColor;
    DWORD m_dwItemHotTextColor;
    DWORD m_dwSelItemTextColor;
    DWORD m_dwSelItemHotTextColor;
    CTreeViewUI* m_pTreeView;
    CHorizontalLayoutUI* m_pHoriz;
    CCheckBoxUI* m_pFolderButton;
    CLabelUI* m_pDottedLine;
    CCheckBoxUI* m_pCheckBox;
    COptionUI* m_pItemButton;
    CTreeNodeUI* m_pParentNode;
    CUiPtrArray m_aTreeNodes;
};

}  // namespace SkinUI
