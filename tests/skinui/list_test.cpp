// The list, its header and its rows in real windows under real input: the
// selection by clicks, keys and the wheel, removals and insertions around it,
// rows painted by state, links, the header's click and resize drag, a
// combined scroll; and in memory the column cap, a hidden header shown again
// and the expansion of container rows.
#include <gtest/gtest.h>

#include "list_window.h"
#include "skinui/core/skin_builder.h"
#include "skinui/controls/list_body_ui.h"
#include "skinui/controls/list_container_element_ui.h"
#include "skinui/controls/list_element_ui.h"
#include "skinui/controls/list_header_ui.h"
#include "skinui/controls/list_ui.h"

using namespace SkinUI;
using skintest::ListWindow;
using skintest::OffscreenPixel;

namespace {

// A list of eight 20-pixel label rows at (20, 20), 110 high: five and a half show.
const wchar_t kEightRows[] =
    L"<Window><Container bkcolor=\"#FFFFFFFF\">"
    L"<List name=\"list\" float=\"true\" pos=\"20,20,220,130\" keyboard=\"true\" scrollselect=\"true\""
    L"      itemheight=\"20\" header=\"hidden\" vscrollbar=\"true\">"
    L"  <ListLabelElement name=\"r0\" text=\"Row 0\"/><ListLabelElement name=\"r1\" text=\"Row 1\"/>"
    L"  <ListLabelElement name=\"r2\" text=\"Row 2\"/><ListLabelElement name=\"r3\" text=\"Row 3\"/>"
    L"  <ListLabelElement name=\"r4\" text=\"Row 4\"/><ListLabelElement name=\"r5\" text=\"Row 5\"/>"
    L"  <ListLabelElement name=\"r6\" text=\"Row 6\"/><ListLabelElement name=\"r7\" text=\"Row 7\"/>"
    L"</List></Container></Window>";

// The last "itemselect" as "new,old".
std::string LastSelect(const ListWindow& w)
{
    auto all = w.Notes(L"itemselect");
    if (all.empty())
        return "none";
    return std::to_string(static_cast<int>(all.back().wParam)) + "," +
           std::to_string(static_cast<int>(all.back().lParam));
}

// A header item that counts its live instances (for the column cap).
class CountedHeaderItem : public CListHeaderItemUI {
public:
    CountedHeaderItem() { ++live; }
    ~CountedHeaderItem() override { --live; }
    static inline int live = 0;
};

}  // namespace

TEST(ListInput, ClicksKeysAndTheWheelMoveTheSelection)
{
    ListWindow w(kEightRows);
    CListUI* list = w.Find<CListUI>(L"list");
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(8, list->GetCount());
    ASSERT_EQ(50, list->GetScrollRange().cy);  // 160 pixels of rows in 110

    // A click on a row: "itemclick" from the row, then "itemselect" from the list.
    ASSERT_TRUE(w.Click(60, 70));
    ASSERT_TRUE(w.WaitNotes(L"itemselect", 1));
    ASSERT_EQ(1, w.notes.Count(L"itemclick"));
    int clickAt = -1, selectAt = -1;
    for (int i = 0; i < static_cast<int>(w.notes.entries.size()); ++i) {
        if (w.notes.entries[i].type == L"itemclick" && clickAt < 0)
            clickAt = i;
        if (w.notes.entries[i].type == L"itemselect" && selectAt < 0)
            selectAt = i;
    }
    EXPECT_LT(clickAt, selectAt);
    EXPECT_EQ(w.Find<CControlUI>(L"r2"), w.notes.entries[clickAt].sender);
    EXPECT_EQ(list, w.notes.entries[selectAt].sender);
    EXPECT_EQ("2,-1", LastSelect(w));
    // The same row again: a click, no new selection.
    ASSERT_TRUE(w.Click(150, 70));  // apart from the first: not a double click
    ASSERT_TRUE(w.WaitNotes(L"itemclick", 2));
    EXPECT_EQ(1, w.notes.Count(L"itemselect"));

    // Keys: Down, Up, End (scrolls the last row into view), Home.
    w.Key(VK_DOWN);
    ASSERT_TRUE(w.WaitNotes(L"itemselect", 2));
    EXPECT_EQ("3,2", LastSelect(w));
    w.Key(VK_UP);
    ASSERT_TRUE(w.WaitNotes(L"itemselect", 3));
    EXPECT_EQ("2,3", LastSelect(w));
    w.Key(VK_END);
    ASSERT_TRUE(w.WaitNotes(L"itemselect", 4));
    EXPECT_EQ("7,2", LastSelect(w));
    EXPECT_EQ(50, list->GetScrollPos().cy);
    EXPECT_EQ(130, list->GetItemAt(7)->GetPos().bottom);
    w.Key(VK_HOME);
    ASSERT_TRUE(w.WaitNotes(L"itemselect", 5));
    EXPECT_EQ("0,7", LastSelect(w));
    EXPECT_EQ(0, list->GetScrollPos().cy);
    // Up on the first row changes nothing and says nothing.
    w.Key(VK_UP);
    testutil::pumpFor(200);
    EXPECT_EQ(5, w.notes.Count(L"itemselect"));

    // With "scrollselect" the wheel moves the selection.
    ASSERT_TRUE(w.PointTo(60, 50));
    w.Wheel(true);
    ASSERT_TRUE(w.WaitNotes(L"itemselect", 6));
    EXPECT_EQ("1,0", LastSelect(w));
    w.Wheel(false);
    ASSERT_TRUE(w.WaitNotes(L"itemselect", 7));
    EXPECT_EQ("0,1", LastSelect(w));
}

TEST(ListInput, RemovingAndInsertingKeepTheSelectionOnItsRow)
{
    ListWindow w(kEightRows);
    CListUI* list = w.Find<CListUI>(L"list");
    ASSERT_NE(nullptr, list);
    CControlUI* r5 = w.Find<CControlUI>(L"r5");
    ASSERT_TRUE(list->SelectItem(4));
    w.notes.entries.clear();

    // The selected row goes: the row that moved into its place is selected.
    ASSERT_TRUE(list->RemoveAt(4));
    EXPECT_EQ(4, list->GetCurSel());
    EXPECT_EQ(r5, list->GetItemAt(4));
    EXPECT_TRUE(static_cast<IListItemUI*>(r5->GetInterface(L"IListItem"))->IsSelected());
    EXPECT_EQ(4, static_cast<IListItemUI*>(r5->GetInterface(L"IListItem"))->GetIndex());
    EXPECT_EQ("4,-1", LastSelect(w));
    // The last row goes while selected: the one before it.
    ASSERT_TRUE(list->SelectItem(6));
    ASSERT_TRUE(list->Remove(list->GetItemAt(6)));
    EXPECT_EQ(5, list->GetCurSel());
    EXPECT_EQ("5,-1", LastSelect(w));
    // Rows before the selection come and go: the selection stays on its row.
    CControlUI* selected = list->GetItemAt(5);
    ASSERT_TRUE(list->AddAt(new CListLabelElementUI, 0));
    EXPECT_EQ(6, list->GetCurSel());
    ASSERT_TRUE(list->RemoveAt(1));
    EXPECT_EQ(5, list->GetCurSel());
    EXPECT_EQ(selected, list->GetItemAt(list->GetCurSel()));
    ASSERT_TRUE(list->SetItemIndex(selected, 0));
    EXPECT_EQ(0, list->GetCurSel());
    for (int i = 0; i < list->GetCount(); ++i) {
        EXPECT_EQ(i, static_cast<IListItemUI*>(list->GetItemAt(i)->GetInterface(L"IListItem"))->GetIndex());
    }
}

TEST(ListPaint, RowsPaintByStateAndAlternateBackgrounds)
{
    // Six rows, one hidden (it takes no draw index); one-pixel lines between them.
    ListWindow w(L"<Window><Container bkcolor=\"#FFFFFFFF\">"
                 L"<List name=\"list\" float=\"true\" pos=\"20,20,220,200\" itemheight=\"20\" header=\"hidden\""
                 L"      itemaltbk=\"true\" itembkcolor=\"#FF808080\" itemselectedbkcolor=\"#FF0000FF\""
                 L"      itemhotbkcolor=\"#FF00FF00\" itemdisabledbkcolor=\"#FFFF0000\""
                 L"      itemhlinesize=\"1\" itemhlinecolor=\"#FF00FFFF\">"
                 L"  <ListLabelElement name=\"r0\"/><ListLabelElement name=\"r1\"/>"
                 L"  <ListLabelElement name=\"hidden\" visible=\"false\"/><ListLabelElement name=\"r3\"/>"
                 L"  <ListLabelElement name=\"r4\"/><ListLabelElement name=\"r5\"/><ListLabelElement name=\"r6\"/>"
                 L"</List></Container></Window>");
    CListUI* list = w.Find<CListUI>(L"list");
    ASSERT_NE(nullptr, list);
    w.Find<CControlUI>(L"r6")->SetEnabled(false);
    ASSERT_TRUE(list->SelectItem(4));  // r4
    // Rows are 21 pixels apart: 20 and the line.
    EXPECT_EQ(20 + 4 * 21, w.Find<CControlUI>(L"r5")->GetPos().top);
    ASSERT_TRUE(w.PointTo(100, 20 + 4 * 21 + 10));  // hot r5
    ASSERT_TRUE(w.Pump(
        [&] { return (static_cast<CListElementUI*>(w.Find<CControlUI>(L"r5"))->GetButtonState() & 0x08) != 0; }));
    w.Repaint();

    auto rowPixel = [&](int drawIndex) { return OffscreenPixel(w.manager, 200, 20 + drawIndex * 21 + 10); };
    EXPECT_EQ(0x808080u, rowPixel(0));                         // r0: even, coloured
    EXPECT_EQ(0xFFFFFFu, rowPixel(1));                         // r1: odd, plain
    EXPECT_EQ(0x808080u, rowPixel(2));                         // r3: the hidden row counts not
    EXPECT_EQ(0x0000FFu, rowPixel(3));                         // r4: selected
    EXPECT_EQ(0x00FF00u, rowPixel(4));                         // r5: hot
    EXPECT_EQ(0xFF0000u, rowPixel(5));                         // r6: disabled
    EXPECT_EQ(0x00FFFFu, OffscreenPixel(w.manager, 200, 40));  // the line under r0
}

TEST(ListInput, LinkRowShowsTheHandAndSendsTheLinksIndex)
{
    ListWindow w(L"<Window><Font id=\"0\" name=\"DejaVu Sans\" size=\"14\" default=\"true\"/>"
                 L"<Container bkcolor=\"#FFFFFFFF\">"
                 L"<List name=\"list\" float=\"true\" pos=\"20,20,320,120\" itemheight=\"30\" header=\"hidden\""
                 L"      itemshowhtml=\"true\">"
                 L"  <ListTextElement name=\"links\" text=\"{a one}First{/a} and {a two}Second{/a}\"/>"
                 L"</List></Container></Window>");
    CListTextElementUI* row = w.Find<CListTextElementUI>(L"links");
    ASSERT_NE(nullptr, row);
    ASSERT_EQ(2, row->GetLinkCount());
    EXPECT_EQ(static_cast<UINT>(UIFLAG_SETCURSOR | UIFLAG_WANTRETURN), row->GetControlFlags());
    const RECT second = row->GetLinkRect(1);
    const int x = (second.left + second.right) / 2;
    const int y = (second.top + second.bottom) / 2;

    ASSERT_TRUE(w.PointTo(x, y));
    EXPECT_TRUE(w.Pump([] { return ::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND); }));
    ASSERT_TRUE(w.PointTo(second.right + 40, y));  // past the links: the arrow
    EXPECT_TRUE(w.Pump([] { return ::GetCursor() == ::LoadCursorW(nullptr, IDC_ARROW); }));

    ASSERT_TRUE(w.Click(x, y));
    ASSERT_TRUE(w.WaitNotes(L"link", 1));
    auto links = w.Notes(L"link");
    EXPECT_EQ(row, links[0].sender);
    EXPECT_EQ(1u, links[0].wParam);
    EXPECT_EQ(1, w.notes.Count(L"itemclick"));
    EXPECT_EQ(1, w.notes.Count(L"itemselect"));
}

TEST(ListHeaderInput, ClickAndResizeDragKeepTheMinimumWidth)
{
    ListWindow w(L"<Window><Container bkcolor=\"#FFFFFFFF\">"
                 L"<List name=\"list\" float=\"true\" pos=\"20,20,370,220\" itemheight=\"24\">"
                 L"  <ListHeader height=\"24\">"
                 L"    <ListHeaderItem name=\"h0\" text=\"Name\" width=\"100\"/>"
                 L"    <ListHeaderItem name=\"h1\" text=\"Size\" width=\"80\"/>"
                 L"    <ListHeaderItem name=\"h2\" text=\"State\"/>"
                 L"  </ListHeader>"
                 L"  <ListHBoxElement><Label name=\"c0\" text=\"a\" mouse=\"false\"/>"
                 L"    <Label name=\"c1\" text=\"b\" mouse=\"false\"/><Label name=\"c2\" text=\"c\" mouse=\"false\"/>"
                 L"  </ListHBoxElement>"
                 L"</List></Container></Window>");
    CListUI* list = w.Find<CListUI>(L"list");
    CListHeaderItemUI* h0 = w.Find<CListHeaderItemUI>(L"h0");
    ASSERT_TRUE(list != nullptr && h0 != nullptr);
    ASSERT_EQ(3, list->GetListInfo()->nColumns);
    EXPECT_TRUE(skintest::RectIs(h0->GetThumbRect(), 116, 20, 120, 44));  // the strip: the right 4 pixels
    EXPECT_EQ(120, w.Find<CControlUI>(L"c1")->GetPos().left);             // cells follow the columns

    // A click beside the strip: "headerclick".
    ASSERT_TRUE(w.Click(70, 32));
    ASSERT_TRUE(w.WaitNotes(L"headerclick", 1));
    EXPECT_EQ(h0, w.Notes(L"headerclick")[0].sender);

    // A drag on the strip: wider by 40, the next column and its cells follow.
    ASSERT_TRUE(w.PointTo(118, 32));
    w.Button(true);
    ASSERT_TRUE(w.Pump([&] { return (h0->GetButtonState() & 0x40) != 0; }));
    ASSERT_TRUE(w.PointTo(138, 32));
    ASSERT_TRUE(w.PointTo(158, 32));
    w.Button(false);
    ASSERT_TRUE(w.Pump([&] { return (h0->GetButtonState() & 0x40) == 0; }));
    w.Repaint();
    EXPECT_EQ(140, h0->GetWidth());
    EXPECT_EQ(160, list->GetListInfo()->rcColumn[1].left);
    EXPECT_EQ(160, w.Find<CControlUI>(L"c1")->GetPos().left);
    EXPECT_EQ(1, w.notes.Count(L"headerclick"));  // the drag clicked nothing

    // Dragged far to the left the column stops above its minimum width (16).
    ASSERT_TRUE(w.PointTo(158, 32));
    w.Button(true);
    ASSERT_TRUE(w.Pump([&] { return (h0->GetButtonState() & 0x40) != 0; }));
    ASSERT_TRUE(w.PointTo(60, 32));
    ASSERT_TRUE(w.PointTo(5, 32));
    w.Button(false);
    ASSERT_TRUE(w.Pump([&] { return (h0->GetButtonState() & 0x40) == 0; }));
    w.Repaint();
    EXPECT_GT(h0->GetWidth(), 16);
    EXPECT_LE(h0->GetWidth(), 42);
    EXPECT_EQ(h0->GetPos().right, list->GetListInfo()->rcColumn[1].left);
}

TEST(ListScroll, CombinedScrollKeepsTheHeaderOnItsRow)
{
    // Three 200-pixel columns in a 300-pixel list and ten rows: both bars.
    std::wstring xml = L"<Window><Container bkcolor=\"#FFFFFFFF\">"
                       L"<List name=\"list\" float=\"true\" pos=\"20,20,320,200\" itemheight=\"24\" vscrollbar=\"true\""
                       L"      hscrollbar=\"true\">"
                       L"  <ListHeader height=\"24\" bkcolor=\"#FF808080\">"
                       L"    <ListHeaderItem name=\"h0\" width=\"200\" bkcolor=\"#FFFFFF00\" sepwidth=\"0\"/>"
                       L"    <ListHeaderItem name=\"h1\" width=\"200\" bkcolor=\"#FFFFFF00\" sepwidth=\"0\"/>"
                       L"    <ListHeaderItem name=\"h2\" width=\"200\" bkcolor=\"#FFFFFF00\" sepwidth=\"0\"/>"
                       L"  </ListHeader>";
    for (int i = 0; i < 10; ++i) {
        xml += L"<ListHBoxElement bkcolor=\"#FF0000FF\"><Control/><Control name=\"cell" + std::to_wstring(i) +
               L"\"/><Control/></ListHBoxElement>";
    }
    xml += L"</List></Container></Window>";
    ListWindow w(xml.c_str());
    CListUI* list = w.Find<CListUI>(L"list");
    CControlUI* h1 = w.Find<CControlUI>(L"h1");
    ASSERT_TRUE(list != nullptr && h1 != nullptr);
    ASSERT_GT(list->GetScrollRange().cx, 0);
    ASSERT_GT(list->GetScrollRange().cy, 0);
    ASSERT_TRUE(skintest::RectIs(h1->GetPos(), 220, 20, 420, 44));

    list->SetScrollPos(CUiSize(50, 40));
    ASSERT_EQ(50, list->GetScrollPos().cx);
    ASSERT_EQ(40, list->GetScrollPos().cy);
    // The header moved sideways only; the columns and the cells went with it.
    EXPECT_TRUE(skintest::RectIs(h1->GetPos(), 170, 20, 370, 44));
    EXPECT_EQ(170, list->GetListInfo()->rcColumn[1].left);
    EXPECT_EQ(170, w.Find<CControlUI>(L"cell0")->GetPos().left);
    EXPECT_EQ(44 - 40, w.Find<CControlUI>(L"cell0")->GetPos().top);
    w.Repaint();
    EXPECT_EQ(0xFFFF00u, OffscreenPixel(w.manager, 100, 32));  // the header row shows its items
    EXPECT_EQ(0x0000FFu, OffscreenPixel(w.manager, 100, 60));  // the rows below it

    // A relayout keeps both positions.
    list->NeedUpdate();
    w.Repaint();
    EXPECT_TRUE(skintest::RectIs(h1->GetPos(), 170, 20, 370, 44));
    EXPECT_EQ(170, w.Find<CControlUI>(L"cell1")->GetPos().left);
}

TEST(ListControl, ColumnCapHiddenHeaderAndExpandingRows)
{
    RegisterControlElements();
    CSkinBuilder::RegisterElement(L"CountedHeaderItem", [] { return static_cast<CControlUI*>(new CountedHeaderItem); });
    CUiManager manager;
    {
        // Header items past the cap are refused and not kept.
        std::wstring xml = L"<List>";
        for (int i = 0; i < 66; ++i)
            xml += L"<CountedHeaderItem width=\"10\"/>";
        xml += L"</List>";
        CSkinBuilder builder;
        CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &manager);
        ASSERT_NE(nullptr, root);
        CListUI* list = static_cast<CListUI*>(root->GetInterface(L"List"));
        EXPECT_EQ(64, list->GetHeader()->GetCount());
        EXPECT_EQ(64, CountedHeaderItem::live);
        CountedHeaderItem extra;
        EXPECT_FALSE(list->Add(&extra));
        EXPECT_EQ(64, list->GetListInfo()->nColumns);
        root->Delete();
        EXPECT_EQ(1, CountedHeaderItem::live);  // the one on the stack
    }

    CListUI list;
    list.SetManager(&manager, nullptr, false);
    CListHeaderItemUI* h0 = new CListHeaderItemUI;
    CListHeaderItemUI* h1 = new CListHeaderItemUI;
    h0->SetFixedWidth(50);
    h1->SetFixedWidth(60);
    ASSERT_TRUE(list.Add(h0));
    ASSERT_TRUE(list.Add(h1));
    EXPECT_FALSE(list.Remove(list.GetHeader()));  // the list keeps its header
    // A hidden header still gives the columns, and shows again.
    list.SetAttribute(L"header", L"hidden");
    list.SetPos(CUiRect(10, 10, 210, 110), false);
    EXPECT_TRUE(skintest::RectIs(list.GetListInfo()->rcColumn[1], 60, 10, 120, 10 + h1->GetHeight()));
    EXPECT_EQ(10, list.GetList()->GetPos().top);
    list.SetAttribute(L"header", L"visible");
    list.SetPos(CUiRect(10, 10, 210, 110), false);
    EXPECT_TRUE(list.GetHeader()->IsVisible());
    EXPECT_TRUE(h1->IsVisible());
    EXPECT_GT(list.GetHeader()->GetHeight(), 0);
    EXPECT_EQ(list.GetHeader()->GetPos().bottom, list.GetList()->GetPos().top);

    // Expanding rows: one at a time, each row asked once.
    skintest::NotifyLog notes;
    manager.AddNotifier(&notes);
    CListContainerElementUI* rows[3];
    for (CListContainerElementUI*& row : rows) {
        row = new CListContainerElementUI;
        row->SetExpandable(true);
        ASSERT_TRUE(list.Add(row));
    }
    EXPECT_TRUE(list.ExpandItem(1));
    EXPECT_TRUE(rows[1]->IsExpanded());
    EXPECT_EQ(1, list.GetExpandedItem());
    EXPECT_TRUE(rows[2]->Expand(true));
    EXPECT_FALSE(rows[1]->IsExpanded());
    EXPECT_EQ(2, list.GetExpandedItem());
    EXPECT_TRUE(list.ExpandItem(2, false));
    EXPECT_FALSE(rows[2]->IsExpanded());
    EXPECT_EQ(-1, list.GetExpandedItem());
    EXPECT_EQ(2, notes.Count(L"itemexpand"));
    EXPECT_EQ(2, notes.Count(L"itemcollapse"));
    manager.RemoveNotifier(&notes);
}

TEST(ListControl, KeysKeepTheSelectionAndColumnsFollowEveryMove)
{
    RegisterControlElements();
    CUiManager manager;
    skintest::NotifyLog notes;
    manager.AddNotifier(&notes);
    CSkinBuilder builder;
    CControlUI* root = builder.Create(
        L"<List keyboard=\"true\" itemheight=\"20\" header=\"hidden\" hscrollbar=\"true\">"
        L"  <ListHeaderItem width=\"200\"/><ListHeaderItem width=\"200\"/><ListHeaderItem width=\"200\"/>"
        L"  <ListLabelElement/><ListLabelElement/><ListLabelElement/><ListLabelElement enabled=\"false\"/>"
        L"</List>",
        nullptr, nullptr, &manager);
    ASSERT_NE(nullptr, root);
    manager.AttachDialog(root);
    CListUI* list = static_cast<CListUI*>(root->GetInterface(L"List"));
    list->SetPos(CUiRect(0, 0, 300, 200), false);
    ASSERT_TRUE(list->SelectItem(2));
    notes.entries.clear();
    auto key = [&](WORD vk) {
        UiEvent event = {};
        event.Type = UIEVENT_KEYDOWN;
        event.chKey = vk;
        list->DoEvent(event);
    };
    // Past the last selectable row (the disabled one after it) nothing moves.
    key(VK_DOWN);
    key(VK_END);
    EXPECT_EQ(2, list->GetCurSel());
    EXPECT_EQ(0, notes.Count(L"itemselect"));
    key(VK_HOME);
    EXPECT_EQ(0, list->GetCurSel());

    // A hidden header's columns follow a sideways scroll and every move of the list.
    ASSERT_GT(list->GetScrollRange().cx, 0);
    EXPECT_EQ(200, list->GetListInfo()->rcColumn[1].left);
    list->SetScrollPos(CUiSize(50, 0));
    EXPECT_EQ(150, list->GetListInfo()->rcColumn[1].left);
    list->Move(10, 30);
    EXPECT_EQ(160, list->GetListInfo()->rcColumn[1].left);
    EXPECT_EQ(30, list->GetListInfo()->rcColumn[1].top);
    manager.RemoveNotifier(&notes);
}
