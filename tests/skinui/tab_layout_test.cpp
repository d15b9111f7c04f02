// The tab layout: one page shown at a time, "tabselect" on a change, the
// current page kept through additions and removals.
#include <gtest/gtest.h>

#include "skinui/controls/tab_layout_ui.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::NotifyLog;

namespace {

const DWORD kPageColors[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};

// A tab layout of three coloured pages in a windowless manager.
struct Tabs {
    Tabs()
    {
        manager.AddNotifier(&notes);
        tab = new CTabLayoutUI;
        for (int i = 0; i < 3; ++i) {
            pages[i] = Page(i);
            tab->Add(pages[i]);
        }
        manager.InitControls(tab);
        tab->SetPos(RECT{0, 0, 60, 40}, false);
    }
    ~Tabs()
    {
        delete tab;
        manager.RemoveNotifier(&notes);
    }
    static CControlUI* Page(int colour)
    {
        CControlUI* page = new CControlUI;
        page->SetBkColor(kPageColors[colour]);
        return page;
    }
    // The colour the tab layout paints in its middle.
    DWORD Painted()
    {
        skintest::Canvas canvas(60, 40, 0x00FFFFFF);
        tab->SetPos(RECT{0, 0, 60, 40}, false);
        tab->Paint(canvas.dc(), canvas.all(), nullptr);
        return canvas.Rgb(30, 20);
    }
    CUiManager manager;
    NotifyLog notes;
    CTabLayoutUI* tab = nullptr;
    CControlUI* pages[3] = {};
};

}  // namespace

TEST(TabLayout, SelectionNotifiesOnceWithNewAndOldIndexAndRefusesOutOfRange)
{
    Tabs t;
    EXPECT_EQ(0, t.tab->GetCurSel());  // the first page added
    EXPECT_TRUE(t.pages[0]->IsVisible());
    EXPECT_FALSE(t.pages[1]->IsVisible());
    EXPECT_EQ(0xFF0000u, t.Painted());  // only the current page paints

    EXPECT_TRUE(t.tab->SelectItem(2));
    ASSERT_EQ(1, t.notes.Count(L"tabselect"));
    EXPECT_EQ(2u, t.notes.entries.back().wParam);
    EXPECT_EQ(0, t.notes.entries.back().lParam);
    EXPECT_EQ(t.tab, t.notes.entries.back().sender);
    EXPECT_EQ(0x0000FFu, t.Painted());
    EXPECT_FALSE(t.pages[0]->IsVisible());

    EXPECT_TRUE(t.tab->SelectItem(2));  // already current: nothing sent
    EXPECT_FALSE(t.tab->SelectItem(3));
    EXPECT_FALSE(t.tab->SelectItem(-1));
    EXPECT_EQ(1, t.notes.Count(L"tabselect"));
    EXPECT_EQ(2, t.tab->GetCurSel());

    t.tab->SelectItem(1, false);  // a quiet selection
    EXPECT_EQ(1, t.notes.Count(L"tabselect"));
    EXPECT_EQ(0x00FF00u, t.Painted());
}

TEST(TabLayout, RemovingOrAddingPagesKeepsAPageShown)
{
    Tabs t;
    t.tab->SelectItem(2);
    // A page removed before the current one: the same page stays, one index lower.
    EXPECT_TRUE(t.tab->Remove(t.pages[0]));
    EXPECT_EQ(1, t.tab->GetCurSel());
    EXPECT_EQ(0x0000FFu, t.Painted());

    // The current page removed: the first page left is shown.
    EXPECT_TRUE(t.tab->Remove(t.pages[2]));
    EXPECT_EQ(0, t.tab->GetCurSel());
    EXPECT_TRUE(t.pages[1]->IsVisible());
    EXPECT_EQ(0x00FF00u, t.Painted());

    // A page inserted before the current one is hidden and the current one moves on.
    CControlUI* added = Tabs::Page(3);
    EXPECT_TRUE(t.tab->AddAt(added, 0));
    EXPECT_FALSE(added->IsVisible());
    EXPECT_EQ(1, t.tab->GetCurSel());
    EXPECT_EQ(0x00FF00u, t.Painted());

    t.tab->RemoveAll();
    EXPECT_EQ(-1, t.tab->GetCurSel());
    EXPECT_FALSE(t.tab->SelectItem(0));
    EXPECT_EQ(0xFFFFFFu, t.Painted());
}

TEST(TabLayout, TheCurrentPageFillsTheInsetOrKeepsItsFixedSize)
{
    Tabs t;
    t.tab->SetAttribute(L"inset", L"4,4,4,4");
    t.tab->SetPos(RECT{0, 0, 400, 300}, false);
    EXPECT_TRUE(skintest::RectIs(t.pages[0]->GetPos(), 4, 4, 396, 296));
    t.pages[1]->SetFixedWidth(200);
    t.pages[1]->SetFixedHeight(100);
    t.tab->SelectItem(1);
    t.tab->SetPos(RECT{0, 0, 400, 300}, false);
    EXPECT_TRUE(skintest::RectIs(t.pages[1]->GetPos(), 4, 4, 204, 104));
}
