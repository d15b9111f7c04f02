// CTreeViewUI ("TreeView", "Tree"): a hierarchy shown as a flat list. Every
// node of every level (CTreeNodeUI) is a row of the list, in depth-first
// order; the nodes keep the hierarchy themselves. The view listens to each
// node's folder button (checked = collapsed: the node's sub-tree hides, a
// collapsed sub-tree stays collapsed when an ancestor opens again), to its
// check box (checking a node checks its whole sub-tree, never its parents)
// and to its double click ("itemdbclick" toggles the folder). The list
// header is hidden.
#pragma once

#include <windows.h>

#include "skinui/controls/list_ui.h"
#include "skinui/core/ui_event.h"

namespace SkinUI {

class CTreeNodeUI;

class CTreeViewUI : public CListUI, public INotifyUI {
public:
    CTreeViewUI();
    ~CTreeViewUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    // INotifyUI: the view reacts through the handlers on its nodes instead.
    void Notify(UiNotify& msg) override {}

    // IContainerUI: only tree nodes are rows of a tree view.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // A node goes with its whole sub-tree (see Remove of a node).
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;

    // Appends the node and then the rows of its sub-tree, depth first.
    bool Add(CTreeNodeUI* node);
    // Inserts the node at the row index (which must hold a row) and the rows
    // of its sub-tree after it; returns the index after the last row
    // inserted, -1 when nothing was inserted.
    int AddAt(CTreeNodeUI* node, int index);
    // Inserts the node (and its sub-tree) before the row of indexNode.
    bool AddAt(CTreeNodeUI* node, CTreeNodeUI* indexNode);
    // The node leaves its parent node's children and the rows of its whole
    // sub-tree leave the view with it: destroyed, or, with doNotDestroy, kept
    // together as a sub-tree that can be added again.
    bool Remove(CTreeNodeUI* node, bool doNotDestroy = false);

    // Handlers registered on every node (always true, but OnDBClickItem,
    // which answers true only for "itemdbclick").
    virtual bool OnCheckBoxChanged(void* param);
    virtual bool OnFolderChanged(void* param);
    virtual bool OnDBClickItem(void* param);
    // Sets the check boxes of the node's sub-tree (of every row without a
    // node), each with its "selectchanged".
    virtual bool SetItemCheckBox(bool checked, CTreeNodeUI* node = nullptr);
    // Shows or hides the node's sub-tree (every row without a node); a
    // collapsed child keeps its own sub-tree hidden.
    virtual void SetItemExpand(bool expanded, CTreeNodeUI* node = nullptr);
    virtual void SetVisibleFolderBtn(bool visible);
    virtual bool GetVisibleFolderBtn() const { return m_bVisibleFolderBtn; }
    virtual void SetVisibleCheckBtn(bool visible);
    virtual bool GetVisibleCheckBtn() const { return m_bVisibleCheckBtn; }
    virtual void SetItemMinWidth(UINT width);
    virtual UINT GetItemMinWidth() const { return m_uItemMinWidth; }
    // The item button colours of every row (the rows keep them).
    virtual void SetItemTextColor(DWORD color);
    virtual void SetItemHotTextColor(DWORD color);
    virtual void SetSelItemTextColor(DWORD color);
    virtual void SetSelItemHotTextColor(DWORD color);

private:
    // The view's handlers and settings given to a node entering it.
    void Attach(CTreeNodeUI* node);
    // The node (and its sub-tree) inserted from the row index on; the index
    // after the last row inserted, -1 on failure.
    int InsertRows(CTreeNodeUI* node, int index);
    // The rows of the node's sub-tree, deepest first, then the node's own.
    void RemoveRows(CTreeNodeUI* node, bool doNotDestroy);
    // False, with a log line, for anything that cannot become a row.
    bool CanTake(CTreeNodeUI* node, const char* caller);
    // The node that owns a button of its row (the button's parent's parent).
    static CTreeNodeUI* NodeOfButton(CControlUI* button);

    UINT m_uItemMinWidth;
    bool m_bVisibleFolderBtn;
    bool m_bVisibleCheckBtn;
};

}  // namespace SkinUI
