// The vertical, horizontal, tile and child layouts placing their children,
// and the element names the controls library registers with the builder.
#include <gtest/gtest.h>

#include <string>

#include "common/test_util.h"
#include "skinui/controls/child_layout_ui.h"
#include "skinui/controls/control_elements.h"
#include "skinui/controls/horizontal_layout_ui.h"
#include "skinui/controls/tile_layout_ui.h"
#include "skinui/controls/vertical_layout_ui.h"
#include "skinui/core/skin_builder.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::RectIs;

namespace {

// A plain child whose estimate is its fixed size (0 = shares the rest).
CControlUI* AddChild(CContainerUI& layout, int cx, int cy)
{
    CControlUI* child = new CControlUI;
    child->SetFixedWidth(cx);
    child->SetFixedHeight(cy);
    layout.Add(child);
    return child;
}

}  // namespace

TEST(VerticalLayout, SharedRoomGoesToTheLastSharingChildAndSizesAreClamped)
{
    CVerticalLayoutUI layout;
    CControlUI* a = AddChild(layout, 0, 0);
    CControlUI* b = AddChild(layout, 0, 50);
    CControlUI* c = AddChild(layout, 0, 0);
    layout.SetPos(RECT{0, 0, 100, 201}, false);
    EXPECT_TRUE(RectIs(a->GetPos(), 0, 0, 100, 75));  // (201 - 50) / 2
    EXPECT_TRUE(RectIs(b->GetPos(), 0, 75, 100, 125));
    EXPECT_TRUE(RectIs(c->GetPos(), 0, 125, 100, 201));  // the remainder: 76

    // Gaps and paddings are room the sharing children do not get, and the
    // column still ends at the bottom.
    layout.SetChildPadding(10);
    b->SetPadding(RECT{0, 4, 0, 6});
    layout.SetPos(RECT{0, 0, 100, 201}, false);
    EXPECT_TRUE(RectIs(a->GetPos(), 0, 0, 100, 60));  // (201 - 80) / 2
    EXPECT_TRUE(RectIs(b->GetPos(), 0, 74, 100, 124));
    EXPECT_TRUE(RectIs(c->GetPos(), 0, 140, 100, 201));

    // An estimate below the minimum is raised, one above the maximum lowered;
    // the minimum wins over a smaller maximum.
    layout.SetChildPadding(0);
    b->SetPadding(RECT{0, 0, 0, 0});
    b->SetFixedHeight(10);
    b->SetMinHeight(30);
    layout.SetPos(RECT{0, 0, 100, 201}, false);
    EXPECT_EQ(30, b->GetHeight());
    b->SetFixedHeight(80);
    b->SetMaxHeight(60);
    layout.SetPos(RECT{0, 0, 100, 201}, false);
    EXPECT_EQ(60, b->GetHeight());
    b->SetMinHeight(70);
    layout.SetPos(RECT{0, 0, 100, 201}, false);
    EXPECT_EQ(70, b->GetHeight());
    a->SetMaxHeight(40);  // a sharing child is clamped too
    layout.SetPos(RECT{0, 0, 100, 201}, false);
    EXPECT_EQ(40, a->GetHeight());

    // Widths: the whole width, or a fixed width placed by the child alignment.
    a->SetFixedWidth(40);
    layout.SetAttribute(L"childalign", L"center");
    layout.SetPos(RECT{0, 0, 100, 201}, false);
    EXPECT_EQ(30, a->GetX());
    EXPECT_EQ(40, a->GetWidth());
    EXPECT_EQ(100, c->GetWidth());
}

TEST(HorizontalLayout, SplitsTheWidthAndAlignsChildrenVertically)
{
    CHorizontalLayoutUI layout;
    layout.SetInset(RECT{5, 5, 5, 5});
    CControlUI* a = AddChild(layout, 0, 0);
    CControlUI* b = AddChild(layout, 50, 20);
    CControlUI* c = AddChild(layout, 0, 0);
    layout.SetPos(RECT{0, 0, 211, 110}, false);
    EXPECT_TRUE(RectIs(a->GetPos(), 5, 5, 80, 105));
    EXPECT_TRUE(RectIs(b->GetPos(), 80, 5, 130, 25));
    EXPECT_TRUE(RectIs(c->GetPos(), 130, 5, 206, 105));

    layout.SetAttribute(L"childvalign", L"vcenter");
    layout.SetPos(RECT{0, 0, 211, 110}, false);
    EXPECT_TRUE(RectIs(b->GetPos(), 80, 45, 130, 65));
    layout.SetAttribute(L"childvalign", L"bottom");
    layout.SetPos(RECT{0, 0, 211, 110}, false);
    EXPECT_TRUE(RectIs(b->GetPos(), 80, 85, 130, 105));
}

TEST(TileLayout, ThreeColumnsWithTheirGapAndAnEmptyCellForAnInvisibleChild)
{
    CTileLayoutUI tile;
    CControlUI* children[5];
    for (CControlUI*& child : children) {
        child = new CControlUI;
        child->SetBkColor(0xFFFF0000);
        tile.Add(child);
    }
    children[2]->SetVisible(false);
    tile.SetPos(RECT{10, 10, 260, 200}, false);
    EXPECT_EQ(3, tile.GetColumns());
    EXPECT_TRUE(RectIs(children[0]->GetPos(), 10, 10, 90, 90));
    EXPECT_TRUE(RectIs(children[1]->GetPos(), 95, 10, 175, 90));  // gap (250 - 240) / 2 = 5
    EXPECT_TRUE(RectIs(children[3]->GetPos(), 10, 90, 90, 170));  // the fourth cell
    EXPECT_TRUE(RectIs(children[4]->GetPos(), 95, 90, 175, 170));

    skintest::Canvas canvas(270, 210, 0x00FFFFFF);
    tile.Paint(canvas.dc(), canvas.all(), nullptr);
    EXPECT_EQ(0xFF0000u, canvas.Rgb(50, 50));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(92, 50));   // the gap
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(220, 50));  // the invisible child's cell
    EXPECT_EQ(0xFF0000u, canvas.Rgb(50, 130));

    // Attributes: cell size, fixed columns (a negative count is ignored), row gap.
    tile.SetAttribute(L"itemsize", L"120,40");
    tile.SetAttribute(L"columns", L"-2");
    EXPECT_EQ(0, tile.GetFixedColumns());
    tile.SetAttribute(L"columns", L"2");
    tile.SetAttribute(L"childvpadding", L"6");
    tile.SetPos(RECT{10, 10, 260, 200}, false);
    EXPECT_TRUE(RectIs(children[1]->GetPos(), 140, 10, 260, 50));  // gap (250 - 240) / 1
    EXPECT_TRUE(RectIs(children[3]->GetPos(), 140, 56, 260, 96));

    // A cell without width: one column, no division by zero.
    tile.SetAttribute(L"columns", L"0");
    tile.SetAttribute(L"itemsize", L"0,40");
    tile.SetPos(RECT{10, 10, 260, 200}, false);
    EXPECT_EQ(1, tile.GetColumns());
    EXPECT_TRUE(RectIs(children[4]->GetPos(), 10, 194, 10, 234));
}

TEST(ChildLayout, BuildsItsSkinFileOnceAndNothingFromAMissingFile)
{
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::writeFile(dir.file(L"child.xml"),
                                    "<VerticalLayout name=\"inner\"><Control name=\"leaf\"/></VerticalLayout>"));
    RegisterControlElements();
    CUiManager manager;
    CContainerUI* root = new CContainerUI;
    CChildLayoutUI* child = new CChildLayoutUI;
    child->SetAttribute(L"xmlfile", dir.file(L"child.xml").c_str());
    CChildLayoutUI* missing = new CChildLayoutUI;
    missing->SetAttribute(L"xmlfile", dir.file(L"missing.xml").c_str());
    CChildLayoutUI* empty = new CChildLayoutUI;
    root->Add(child);
    root->Add(missing);
    root->Add(empty);
    EXPECT_EQ(nullptr, child->GetInterface(L"IContainer"));  // skins cannot add children to it

    manager.InitControls(root);
    ASSERT_EQ(1, child->GetCount());
    EXPECT_STREQ(L"VerticalLayout", child->GetItemAt(0)->GetClass());
    EXPECT_NE(nullptr, manager.FindControl(L"leaf"));
    manager.InitControls(root);  // a second init keeps the content it has
    EXPECT_EQ(1, child->GetCount());
    EXPECT_EQ(0, missing->GetCount());
    EXPECT_EQ(0, empty->GetCount());
    delete root;
}

TEST(ChildLayout, AFileThatHoldsItselfIsBuiltOnceAtEachLevelAndThenRefused)
{
    // self.xml holds a layout of itself; a.xml holds b.xml, which holds a.xml
    // again (named with the other slash and case).
    testutil::TempDir dir;
    const std::string folder = testutil::narrow(dir.path());
    ASSERT_TRUE(testutil::writeFile(dir.file(L"self.xml"), "<VerticalLayout><ChildLayout xmlfile=\"" + folder +
                                                               "self.xml\"/></VerticalLayout>"));
    ASSERT_TRUE(testutil::writeFile(dir.file(L"a.xml"),
                                    "<VerticalLayout><ChildLayout xmlfile=\"" + folder + "b.xml\"/></VerticalLayout>"));
    std::string again = folder + "A.XML";
    for (char& c : again)
        c = c == '\\' ? '/' : c;
    ASSERT_TRUE(testutil::writeFile(dir.file(L"b.xml"),
                                    "<HorizontalLayout><ChildLayout xmlfile=\"" + again + "\"/></HorizontalLayout>"));
    RegisterControlElements();
    for (const wchar_t* file : {L"self.xml", L"a.xml"}) {
        CUiManager manager;
        CContainerUI* root = new CContainerUI;
        CChildLayoutUI* top = new CChildLayoutUI;
        top->SetAttribute(L"xmlfile", dir.file(file).c_str());
        root->Add(top);
        manager.InitControls(root);
        // Each file once below the top layout, then an empty layout.
        int files = 0;
        CChildLayoutUI* layout = top;
        while (layout->GetCount() == 1) {
            CContainerUI* content = static_cast<CContainerUI*>(layout->GetItemAt(0)->GetInterface(L"Container"));
            ASSERT_NE(nullptr, content);
            ASSERT_EQ(1, content->GetCount());
            layout = static_cast<CChildLayoutUI*>(content->GetItemAt(0)->GetInterface(L"ChildLayout"));
            ASSERT_NE(nullptr, layout);
            ++files;
        }
        EXPECT_EQ(wcscmp(file, L"self.xml") == 0 ? 1 : 2, files) << testutil::narrow(file);
        delete root;
    }
}

TEST(ControlElements, EveryNameAndAliasCreatesItsClass)
{
    RegisterControlElements();
    const wchar_t* const names[][2] = {
        {L"Container", L"Container"},
        {L"VerticalLayout", L"VerticalLayout"},
        {L"VBox", L"VerticalLayout"},
        {L"HorizontalLayout", L"HorizontalLayout"},
        {L"HBox", L"HorizontalLayout"},
        {L"TileLayout", L"TileLayout"},
        {L"ChildLayout", L"ChildLayout"},
        {L"TabLayout", L"TabLayout"},
        {L"Label", L"Label"},
        {L"Button", L"Button"},
        {L"Progress", L"Progress"},
    };
    for (const auto& name : names) {
        CControlUI* control = CSkinBuilder::CreateElement(name[0]);
        ASSERT_NE(nullptr, control) << testutil::narrow(name[0]);
        EXPECT_STREQ(name[1], control->GetClass());
        control->Delete();
    }
    EXPECT_EQ(nullptr, CSkinBuilder::CreateElement(L"vbox"));  // names are case-sensitive
}
