// The combo box and its drop list in real windows under real input: the
// drop list's size and place (below, or above near the bottom of the work
// area), keys and Escape in the open list, a click on an item, the scroll bar
// that keeps it open, items removed and the owner window destroyed while it
// is open; and the demo window's "Lists & text" page with the list card's drop
// list open, kept as a screenshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/ui_driver.h"
#include "demo/demo_window.h"
#include "list_window.h"
#include "skinui/controls/combo_ui.h"
#include "skinui/controls/combo_wnd.h"
#include "skinui/controls/list_element_ui.h"
#include "skinui/controls/list_ui.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/core/skin_builder.h"

using namespace SkinUI;
using skintest::ListWindow;
using skintest::RectIs;

namespace {

// A combo at (20, 20, 220, 46) with items c0 to c(count - 1) of 20 pixels, c0 selected.
std::wstring ComboXml(int count, const wchar_t* dropBoxSize)
{
    std::wstring xml = L"<Window><Container bkcolor=\"#FFFFFFFF\">"
                       L"<Combo name=\"combo\" float=\"true\" pos=\"20,20,220,46\" keyboard=\"true\" itemheight=\"20\""
                       L"       bkcolor=\"#FFE0E0E0\" dropboxsize=\"";
    xml += dropBoxSize;
    xml += L"\">";
    for (int i = 0; i < count; ++i) {
        xml += L"<ListLabelElement name=\"c" + std::to_wstring(i) + L"\" text=\"Item " + std::to_wstring(i) + L"\"" +
               (i == 0 ? L" selected=\"true\"" : L"") + L"/>";
    }
    xml += L"</Combo></Container></Window>";
    return xml;
}

RECT ScreenRect(HWND hwnd, RECT rc)
{
    ::MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

RECT WindowRect(HWND hwnd)
{
    RECT rc = {};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

// The pop-up's manager, through the window object behind its handle.
CUiManager* DropManager(CComboUI* combo)
{
    CComboWnd* wnd = reinterpret_cast<CComboWnd*>(::GetWindowLongPtrW(combo->GetDropWindow(), GWLP_USERDATA));
    return wnd != nullptr ? &wnd->GetManager() : nullptr;
}

// Programs that other tests start may take the activation, and an open drop
// list closes when its window loses it: the window takes the activation back
// and clicks again (the notes start over), three times at most.
bool OpenByClick(ListWindow& w, CComboUI* combo)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) {
            w.notes.entries.clear();
        }
        w.TakeActivation();
        if (w.Click(120, 33) &&
            w.Pump([&] { return combo->IsOpen() && ::IsWindowVisible(combo->GetDropWindow()); }, 3000)) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(ComboInput, DropListGeometryKeysEscapeAndAClickOnAnItem)
{
    ListWindow w(ComboXml(5, L"0,180").c_str());
    CComboUI* combo = w.Find<CComboUI>(L"combo");
    ASSERT_NE(nullptr, combo);
    ASSERT_EQ(0, combo->GetCurSel());
    EXPECT_EQ(L"Item 0", std::wstring(combo->GetText().GetData()));

    // Below the combo, as wide as it, as high as the items need and the border.
    ASSERT_TRUE(OpenByClick(w, combo));
    EXPECT_EQ(1, w.notes.Count(L"dropdown"));
    const RECT face = ScreenRect(w.hwnd, combo->GetPos());
    const RECT drop = WindowRect(combo->GetDropWindow());
    EXPECT_TRUE(RectIs(drop, face.left, face.bottom, face.right, face.bottom + 5 * 20 + 2));
    EXPECT_EQ(DropManager(combo), combo->GetItemAt(2)->GetManager());  // the drop list holds the items

    // Three Down keys: three selections, the list stays open.
    w.notes.entries.clear();
    for (int i = 0; i < 3; ++i)
        w.Key(VK_DOWN);
    ASSERT_TRUE(w.WaitNotes(L"itemselect", 3));
    auto selects = w.Notes(L"itemselect");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(static_cast<WPARAM>(i + 1), selects[i].wParam);
        EXPECT_EQ(static_cast<LPARAM>(i), selects[i].lParam);
    }
    testutil::pumpFor(200);
    EXPECT_TRUE(combo->IsOpen());
    EXPECT_EQ(3, combo->GetCurSel());
    // The window laying the combo out again leaves the open list's items in place.
    const RECT shown = combo->GetItemAt(3)->GetPos();
    combo->SetPos(combo->GetPos(), false);
    EXPECT_TRUE(RectIs(combo->GetItemAt(3)->GetPos(), shown.left, shown.top, shown.right, shown.bottom));
    EXPECT_FALSE(::IsRectEmpty(&shown));

    // Escape: the selection it opened with, closed, the items back home.
    w.Key(VK_ESCAPE);
    ASSERT_TRUE(w.Pump([&] { return !combo->IsOpen(); }));
    EXPECT_EQ(0, combo->GetCurSel());
    EXPECT_EQ(4, w.notes.Count(L"itemselect"));
    EXPECT_EQ(0u, w.Notes(L"itemselect").back().wParam);
    EXPECT_EQ(&w.manager, combo->GetItemAt(2)->GetManager());
    EXPECT_EQ(combo, w.manager.GetFocus());
    EXPECT_EQ(0u, combo->GetButtonState() & 0x10);  // no longer pushed

    // A click on an item selects it and closes.
    ASSERT_TRUE(OpenByClick(w, combo));
    HWND popup = combo->GetDropWindow();
    const RECT item = combo->GetItemAt(2)->GetPos();
    ASSERT_TRUE(w.Click((item.left + item.right) / 2, (item.top + item.bottom) / 2, popup, DropManager(combo)));
    ASSERT_TRUE(w.Pump([&] { return !combo->IsOpen() && !::IsWindow(popup); }));
    EXPECT_EQ(2, combo->GetCurSel());
    EXPECT_EQ(0u, w.Notes(L"itemselect").back().lParam);
    EXPECT_EQ(L"Item 2", std::wstring(combo->GetText().GetData()));
}

TEST(ComboInput, OpensAboveNearTheBottomOfTheWorkAreaAndItsBarKeepsItOpen)
{
    RECT work = {};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    // The combo ends 34 pixels above the work area's bottom: 52 do not fit below.
    ListWindow w(ComboXml(3, L"0,50").c_str(), 100, work.bottom - 80, 400, 80);
    CComboUI* combo = w.Find<CComboUI>(L"combo");
    ASSERT_NE(nullptr, combo);
    ASSERT_TRUE(OpenByClick(w, combo));
    const RECT face = ScreenRect(w.hwnd, combo->GetPos());
    HWND popup = combo->GetDropWindow();
    EXPECT_TRUE(RectIs(WindowRect(popup), face.left, face.top - 50, face.right, face.top));

    // 62 pixels of items in 50: a scroll bar, and pressing on it keeps the list open.
    CUiManager* dropManager = DropManager(combo);
    ASSERT_NE(nullptr, dropManager);
    CContainerUI* body = static_cast<CContainerUI*>(dropManager->GetRoot()->GetInterface(L"Container"));
    ASSERT_TRUE(body->GetVerticalScrollBar() != nullptr && body->GetVerticalScrollBar()->IsVisible());
    const RECT bar = body->GetVerticalScrollBar()->GetPos();
    ASSERT_TRUE(w.Click((bar.left + bar.right) / 2, bar.bottom - 4, popup, dropManager));
    testutil::pumpFor(300);
    EXPECT_TRUE(combo->IsOpen());
    EXPECT_GT(body->GetScrollPos().cy, 0);
    w.Key(VK_RETURN);
    ASSERT_TRUE(w.Pump([&] { return !combo->IsOpen(); }));
    EXPECT_EQ(0, combo->GetCurSel());
}

TEST(ComboInput, ItemsRemovedOrOwnerDestroyedWhileOpen)
{
    ListWindow w(ComboXml(5, L"0,180").c_str());
    CComboUI* combo = w.Find<CComboUI>(L"combo");
    ASSERT_NE(nullptr, combo);

    // Removing an item closes the drop list first; the selection follows.
    ASSERT_TRUE(combo->SelectItem(3));
    ASSERT_TRUE(combo->Activate());
    HWND popup = combo->GetDropWindow();
    ASSERT_TRUE(::IsWindow(popup));
    ASSERT_TRUE(combo->RemoveAt(1));
    EXPECT_FALSE(combo->IsOpen());
    EXPECT_FALSE(::IsWindow(popup));
    EXPECT_EQ(2, combo->GetCurSel());
    EXPECT_EQ(&w.manager, combo->GetItemAt(2)->GetManager());

    // A combo destroyed while open takes its drop list with it.
    CContainerUI* root = static_cast<CContainerUI*>(w.manager.GetRoot()->GetInterface(L"Container"));
    ASSERT_TRUE(combo->Activate());
    popup = combo->GetDropWindow();
    root->SetDelayedDestroy(false);
    ASSERT_TRUE(root->Remove(combo));
    EXPECT_FALSE(::IsWindow(popup));

    // The owner window destroyed while open: the items come back to it first.
    CComboUI* second = new CComboUI;
    CListLabelElementUI* item = new CListLabelElementUI;
    second->Add(item);
    second->SetAttribute(L"float", L"true");
    second->SetAttribute(L"pos", L"20,60,220,86");
    ASSERT_TRUE(root->Add(second));
    w.Repaint();
    ASSERT_TRUE(second->Activate());
    popup = second->GetDropWindow();
    ASSERT_NE(&w.manager, item->GetManager());
    w.Destroy();
    EXPECT_FALSE(::IsWindow(popup));
    EXPECT_FALSE(second->IsOpen());
    EXPECT_EQ(&w.manager, item->GetManager());
    EXPECT_EQ(second, item->GetParent());
}

TEST(ComboDemo, ListsPageWithTheDropListOpen)
{
    CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    RegisterControlElements();
    CUiManager::SetLanguage(L"en_US", L"en_US");
    CUiManager::LoadZipResource(129, L"multi_language.tsv");
    ::SetCursorPos(0, 0);
    skintest::NotifyLog notes;
    // The demo window on its "Lists & text" page: topmost (windows of tests
    // running beside it never cover it), in the screen's bottom-right corner,
    // away from the top-left where the other tests open theirs.
    skindemo::DemoWindow wnd(false);
    HWND hwnd = wnd.Create(nullptr, L"SkinUI demo", WS_POPUP, WS_EX_TOPMOST);
    ASSERT_NE(nullptr, hwnd);
    ASSERT_TRUE(wnd.ShowPage(L"lists"));
    wnd.GetManager().AddNotifier(&notes);
    RECT window = WindowRect(hwnd);
    const int x = (std::max)(0, static_cast<int>(::GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)));
    const int y = (std::max)(0, static_cast<int>(::GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)));
    ::SetWindowPos(hwnd, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(hwnd);
    ::UpdateWindow(hwnd);
    testutil::pumpFor(100);

    auto* combo = static_cast<CComboUI*>(wnd.GetManager().FindControl(L"democombo"));
    auto* list = static_cast<CListUI*>(wnd.GetManager().FindControl(L"demolist"));
    ASSERT_TRUE(combo != nullptr && list != nullptr);
    EXPECT_TRUE(combo->IsVisible());
    EXPECT_EQ(L"English", std::wstring(combo->GetText().GetData()));
    EXPECT_EQ(1, list->GetCurSel());
    // A real click on the face once the window has the activation and saw the
    // pointer over it; again when a program that another test started took the
    // activation from the open list (three times at most).
    const RECT& face = combo->GetPos();
    POINT at = {(face.left + face.right) / 2, (face.top + face.bottom) / 2};
    ::ClientToScreen(hwnd, &at);
    bool open = false;
    for (int attempt = 0; attempt < 3 && !open; ++attempt) {
        for (int i = 0; i < 50 && ::GetForegroundWindow() != hwnd; ++i) {
            ::SetForegroundWindow(hwnd);
            testutil::pumpFor(20);
        }
        ::SetCursorPos(at.x + attempt % 2, at.y);
        ASSERT_TRUE(testutil::pumpUntil([&] { return ::PtInRect(&face, wnd.GetManager().GetMousePos()) != 0; }, 5000));
        INPUT button = {};
        button.type = INPUT_MOUSE;
        button.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        ::SendInput(1, &button, sizeof(button));
        testutil::pumpFor(60);
        button.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(1, &button, sizeof(button));
        open = testutil::pumpUntil([&] { return combo->IsOpen() && ::IsWindowVisible(combo->GetDropWindow()); }, 3000);
    }
    ASSERT_TRUE(open);
    uidriver::pressKey(VK_DOWN);
    ASSERT_TRUE(testutil::pumpUntil([&] { return notes.Count(L"itemselect") >= 1; }, 5000));
    EXPECT_EQ(1, combo->GetCurSel());
    testutil::pumpFor(300);
    // The drop list lies inside the window's rectangle: one screenshot shows both.
    RECT drop = WindowRect(combo->GetDropWindow());
    window = WindowRect(hwnd);
    RECT both;
    ::UnionRect(&both, &drop, &window);
    EXPECT_TRUE(::EqualRect(&both, &window));
    EXPECT_FALSE(uidriver::screenshot(hwnd, L"skinui_demo_combo_open").empty());
    uidriver::pressKey(VK_ESCAPE);
    ASSERT_TRUE(testutil::pumpUntil([&] { return !combo->IsOpen(); }, 5000));
    ASSERT_TRUE(::IsWindow(hwnd));  // the drop list had the key, not the window (Escape closes it)
    EXPECT_EQ(L"English", std::wstring(combo->GetText().GetData()));
    wnd.GetManager().RemoveNotifier(&notes);
}

TEST(ComboControl, SelectionClampsKeysOnTheClosedComboAndTheFace)
{
    RegisterControlElements();
    CUiManager manager;
    skintest::NotifyLog notes;
    manager.AddNotifier(&notes);
    CSkinBuilder builder;
    CControlUI* root = builder.Create(
        L"<Combo keyboard=\"true\" textcolor=\"#FF000000\"><ListLabelElement text=\"Zero\"/>"
        L"<ListLabelElement text=\"One\"/><ListLabelElement text=\"Two\"/><ListLabelElement text=\"Three\"/>"
        L"<ListLabelElement text=\"Four\"/></Combo>",
        nullptr, nullptr, &manager);
    ASSERT_NE(nullptr, root);
    manager.AttachDialog(root);
    CComboUI* combo = static_cast<CComboUI*>(root->GetInterface(L"Combo"));
    combo->SetPos(CUiRect(0, 0, 160, 26), false);

    // Past the end: the last item; negative: nothing selected, nothing said.
    EXPECT_TRUE(combo->SelectItem(99));
    EXPECT_EQ(4, combo->GetCurSel());
    EXPECT_FALSE(combo->SelectItem(-1));
    EXPECT_EQ(-1, combo->GetCurSel());
    EXPECT_EQ(1, notes.Count(L"itemselect"));

    // Keys on the closed combo; End finds the last item that can be selected.
    auto key = [&](WORD vk) {
        UiEvent event = {};
        event.Type = UIEVENT_KEYDOWN;
        event.chKey = vk;
        combo->DoEvent(event);
    };
    combo->GetItemAt(4)->SetEnabled(false);
    key(VK_DOWN);
    EXPECT_EQ(0, combo->GetCurSel());
    key(VK_END);
    EXPECT_EQ(3, combo->GetCurSel());
    key(VK_DOWN);
    EXPECT_EQ(3, combo->GetCurSel());
    key(VK_HOME);
    EXPECT_EQ(0, combo->GetCurSel());
    EXPECT_FALSE(combo->IsOpen());  // no window to open from: keys only select

    // The face shows the selected item's text unless "showtext" is off.
    skintest::Canvas canvas(160, 26, 0xFFFFFFFF);
    combo->Paint(canvas.dc(), canvas.all(), nullptr);
    EXPECT_GT(canvas.CountNot(0xFFFFFF), 0);
    combo->SetAttribute(L"showtext", L"false");
    skintest::Canvas blank(160, 26, 0xFFFFFFFF);
    combo->Paint(blank.dc(), blank.all(), nullptr);
    EXPECT_EQ(0, blank.CountNot(0xFFFFFF));
    manager.RemoveNotifier(&notes);
}
