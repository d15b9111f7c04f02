// The tree view and its nodes in a real window: the builder's placement of
// "TreeNode" elements, checking and folding sub-trees (by code and by a real
// click on a folder button), indents per level, removing and inserting
// nodes with their sub-trees, and what a tree refuses.
#include <gtest/gtest.h>

#include <string>

#include "list_window.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/option_ui.h"
#include "skinui/controls/tree_node_ui.h"
#include "skinui/controls/tree_view_ui.h"

using namespace SkinUI;
using skintest::ListWindow;

namespace {

// Game { Data { Maps, Sounds }, Saves }, Player
const wchar_t kTreeSkin[] = L"<Window><Font id=\"0\" name=\"DejaVu Sans\" size=\"13\" default=\"true\"/>"
                            L"<Container bkcolor=\"#FFFFFFFF\">"
                            L"<TreeView name=\"tree\" float=\"true\" pos=\"10,10,310,290\" visiblecheckbtn=\"true\">"
                            L"  <TreeNode name=\"game\" text=\"Game\">"
                            L"    <TreeNode name=\"data\" text=\"Data\">"
                            L"      <TreeNode name=\"maps\" text=\"Maps\"/><TreeNode name=\"sounds\" text=\"Sounds\"/>"
                            L"    </TreeNode>"
                            L"    <TreeNode name=\"saves\" text=\"Saves\"/>"
                            L"  </TreeNode>"
                            L"  <TreeNode name=\"player\" text=\"Player\"/>"
                            L"</TreeView></Container></Window>";

// The item texts of the view's rows, in row order, visible rows only when asked.
std::wstring Rows(CTreeViewUI* tree, bool visibleOnly = false)
{
    std::wstring rows;
    for (int i = 0; i < tree->GetCount(); ++i) {
        CTreeNodeUI* node = CTreeNodeUI::NodeOf(tree->GetItemAt(i));
        if (node == nullptr || (visibleOnly && !node->IsVisible()))
            continue;
        rows += (rows.empty() ? L"" : L",") + std::wstring(node->GetItemText().GetData());
    }
    return rows;
}

bool Checked(CTreeNodeUI* node) { return node->GetCheckBox()->IsSelected(); }

}  // namespace

TEST(TreeView, SkinBuildsTheTreeInRowOrderWithIndentsPerLevel)
{
    ListWindow w(kTreeSkin);
    CTreeViewUI* tree = w.Find<CTreeViewUI>(L"tree");
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(L"Game,Data,Maps,Sounds,Saves,Player", Rows(tree));
    CTreeNodeUI* game = w.Find<CTreeNodeUI>(L"game");
    CTreeNodeUI* data = w.Find<CTreeNodeUI>(L"data");
    CTreeNodeUI* maps = w.Find<CTreeNodeUI>(L"maps");
    ASSERT_TRUE(game && data && maps);
    EXPECT_EQ(2, game->GetCountChild());
    EXPECT_EQ(game, data->GetParentNode());
    EXPECT_EQ(nullptr, game->GetParentNode());
    EXPECT_EQ(2, game->GetDottedLine()->GetFixedWidth());
    EXPECT_EQ(18, data->GetDottedLine()->GetFixedWidth());
    EXPECT_EQ(34, maps->GetDottedLine()->GetFixedWidth());
    EXPECT_EQ(w.Find<CTreeNodeUI>(L"saves"), game->GetLastNode());
    EXPECT_TRUE(maps->GetVisibleCheckBtn());
    // On screen each level's item text starts 16 pixels further right.
    EXPECT_EQ(data->GetItemButton()->GetPos().left + 16, maps->GetItemButton()->GetPos().left);

    // A "TreeNode" under anything but a tree or a node ends that level.
    ListWindow bad(L"<Window><VerticalLayout name=\"box\"><TreeNode name=\"stray\" text=\"x\"/>"
                   L"<Label name=\"after\"/></VerticalLayout></Window>");
    EXPECT_EQ(nullptr, bad.manager.FindControl(L"stray"));
    EXPECT_EQ(nullptr, bad.manager.FindControl(L"after"));
}

TEST(TreeView, CheckingGoesDownOnlyAndFoldedSubTreesStayFolded)
{
    ListWindow w(kTreeSkin);
    CTreeViewUI* tree = w.Find<CTreeViewUI>(L"tree");
    CTreeNodeUI* game = w.Find<CTreeNodeUI>(L"game");
    CTreeNodeUI* data = w.Find<CTreeNodeUI>(L"data");
    CTreeNodeUI* maps = w.Find<CTreeNodeUI>(L"maps");
    CTreeNodeUI* player = w.Find<CTreeNodeUI>(L"player");
    ASSERT_TRUE(tree && game && data && maps && player);

    game->GetCheckBox()->Selected(true);
    for (const wchar_t* name : {L"game", L"data", L"maps", L"sounds", L"saves"})
        EXPECT_TRUE(Checked(w.Find<CTreeNodeUI>(name))) << name;
    EXPECT_FALSE(Checked(player));
    maps->GetCheckBox()->Selected(false);  // parents keep their mark
    EXPECT_TRUE(Checked(data));
    EXPECT_TRUE(Checked(game));
    EXPECT_FALSE(Checked(maps));

    data->GetFolderButton()->Selected(true);  // checked folder = folded
    EXPECT_FALSE(data->GetVisibleTag());
    EXPECT_EQ(L"Game,Data,Saves,Player", Rows(tree, true));
    game->GetFolderButton()->Selected(true);
    EXPECT_EQ(L"Game,Player", Rows(tree, true));
    game->GetFolderButton()->Selected(false);
    EXPECT_EQ(L"Game,Data,Saves,Player", Rows(tree, true));

    // A real click on the data node's folder button opens it again.
    w.Repaint();
    const RECT folder = data->GetFolderButton()->GetPos();
    ASSERT_TRUE(w.TakeActivation());
    ASSERT_TRUE(w.Click((folder.left + folder.right) / 2, (folder.top + folder.bottom) / 2));
    EXPECT_TRUE(w.Pump([&] { return !data->GetFolderButton()->IsSelected(); }));
    EXPECT_EQ(L"Game,Data,Maps,Sounds,Saves,Player", Rows(tree, true));
}

TEST(TreeView, RemovingAndInsertingMoveWholeSubTrees)
{
    ListWindow w(kTreeSkin);
    CTreeViewUI* tree = w.Find<CTreeViewUI>(L"tree");
    CTreeNodeUI* game = w.Find<CTreeNodeUI>(L"game");
    CTreeNodeUI* data = w.Find<CTreeNodeUI>(L"data");
    ASSERT_TRUE(tree && game && data);

    // A node with children leaves with its sub-tree and its parent forgets it.
    ASSERT_TRUE(tree->Remove(data));
    EXPECT_EQ(L"Game,Saves,Player", Rows(tree));
    EXPECT_EQ(1, game->GetCountChild());
    game->GetCheckBox()->Selected(true);  // walks the children: none freed
    game->GetFolderButton()->Selected(true);
    EXPECT_EQ(L"Game,Player", Rows(tree, true));
    game->GetFolderButton()->Selected(false);

    // A child added to a node with an open sub-tree goes after its last row.
    CTreeNodeUI* extra = new CTreeNodeUI;
    extra->SetAttribute(L"text", L"Extra");
    ASSERT_TRUE(game->Add(extra));
    EXPECT_EQ(L"Game,Saves,Extra,Player", Rows(tree));
    EXPECT_EQ(18, extra->GetDottedLine()->GetFixedWidth());

    // A node with a sub-tree inserted at a place brings the whole sub-tree.
    CTreeNodeUI* branch = new CTreeNodeUI;
    branch->SetAttribute(L"text", L"Branch");
    CTreeNodeUI* leafA = new CTreeNodeUI;
    leafA->SetAttribute(L"text", L"A");
    CTreeNodeUI* leafB = new CTreeNodeUI;
    leafB->SetAttribute(L"text", L"B");
    CTreeNodeUI* leafA1 = new CTreeNodeUI;
    leafA1->SetAttribute(L"text", L"A1");
    ASSERT_TRUE(branch->Add(leafA));
    ASSERT_TRUE(branch->Add(leafB));
    ASSERT_TRUE(leafA->Add(leafA1));
    ASSERT_TRUE(game->AddAt(branch, 0));
    EXPECT_EQ(L"Game,Branch,A,A1,B,Saves,Extra,Player", Rows(tree));
    EXPECT_EQ(34, leafA->GetDottedLine()->GetFixedWidth());
    EXPECT_EQ(50, leafA1->GetDottedLine()->GetFixedWidth());

    // Removing a top node removes every row of its sub-tree.
    ASSERT_TRUE(tree->RemoveAt(0));
    EXPECT_EQ(L"Player", Rows(tree));
    w.Repaint();

    // What a tree refuses: a plain control, a node built under a non-node
    // (it has no row controls), a node already in the tree.
    CLabelUI* label = new CLabelUI;
    EXPECT_FALSE(tree->Add(label));
    delete label;
    CLabelUI parent;
    CTreeNodeUI* orphan = new CTreeNodeUI(&parent);
    EXPECT_FALSE(orphan->HasRowControls());
    EXPECT_EQ(nullptr, orphan->GetFolderButton());
    EXPECT_FALSE(tree->Add(orphan));
    delete orphan;
    EXPECT_FALSE(tree->Add(w.Find<CTreeNodeUI>(L"player")));
    EXPECT_EQ(1, tree->GetCount());
}
