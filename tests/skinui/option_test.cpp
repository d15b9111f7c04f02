// Options and check boxes in a skinned window: groups as radio buttons, lone
// options as toggles, the notifications of a click, an option deleted after
// the window was built, and the selected look.
#include <gtest/gtest.h>

#include "skinned_window.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/option_ui.h"

using namespace SkinUI;
using skintest::SkinnedWindow;

namespace {

const wchar_t kOptions[] =
    L"<Window size=\"400,200\"><Container name=\"root\" bkcolor=\"#FFFFFFFF\">"
    L"  <Option name=\"o1\" group=\"g\" selected=\"true\" float=\"true\" pos=\"10,10,90,40\""
    L"          normalimage=\"color='FF808080'\" selectedimage=\"color='FF0000FF'\"/>"
    L"  <Option name=\"o2\" group=\"g\" float=\"true\" pos=\"100,10,180,40\""
    L"          normalimage=\"color='FF808080'\" selectedimage=\"color='FF0000FF'\"/>"
    L"  <Option name=\"o3\" group=\"g\" float=\"true\" pos=\"190,10,270,40\"/>"
    L"  <CheckBox name=\"check\" float=\"true\" pos=\"10,60,90,90\" selectedbkcolor=\"#FF00FF00\""
    L"            selecteddisabledimage=\"color='FFFF0000'\"/>"
    L"</Container></Window>";

// The notifications of the window as "type:sender" in order.
std::vector<std::wstring> Seen(const skintest::NotifyLog& log)
{
    std::vector<std::wstring> seen;
    for (const auto& e : log.entries) {
        if (e.type == L"click" || e.type == L"selectchanged")
            seen.push_back(e.type + L":" + e.senderName);
    }
    return seen;
}

TEST(Option, ClickInAGroupSelectsTheNewOptionAndNotifiesOnlyForIt)
{
    SkinnedWindow w(kOptions);
    COptionUI* o1 = w.Find<COptionUI>(L"o1");
    COptionUI* o2 = w.Find<COptionUI>(L"o2");
    ASSERT_TRUE(o1 != nullptr && o2 != nullptr);
    EXPECT_TRUE(o1->IsSelected());  // selected by the skin, before the window knew it: no notification
    EXPECT_EQ(0, w.notes.Count(L"selectchanged"));
    ASSERT_EQ(3, w.GetManager().GetOptionGroup(L"g")->GetSize());

    w.SendClick(o2);
    EXPECT_TRUE(o2->IsSelected());
    EXPECT_FALSE(o1->IsSelected());
    EXPECT_EQ((std::vector<std::wstring>{L"click:o2", L"selectchanged:o2"}), Seen(w.notes));

    // A click on the selected option keeps it and only clicks.
    w.notes.entries.clear();
    w.SendClick(o2);
    EXPECT_TRUE(o2->IsSelected());
    EXPECT_EQ((std::vector<std::wstring>{L"click:o2"}), Seen(w.notes));

    // The selected look: the selected image, the other option its normal image.
    ::InvalidateRect(w.GetHWND(), nullptr, FALSE);
    ::UpdateWindow(w.GetHWND());
    EXPECT_EQ(0x0000FFu, skintest::OffscreenPixel(w.GetManager(), 140, 25));
    EXPECT_EQ(0x808080u, skintest::OffscreenPixel(w.GetManager(), 50, 25));
}

TEST(Option, WithoutAGroupItTogglesAndNotifiesEachChange)
{
    SkinnedWindow w(kOptions);
    CCheckBoxUI* check = w.Find<CCheckBoxUI>(L"check");
    ASSERT_NE(nullptr, check);
    EXPECT_STREQ(L"CheckBox", check->GetClass());
    EXPECT_EQ(check, check->GetInterface(L"Option"));
    w.SendClick(check);
    EXPECT_TRUE(check->IsSelected());
    w.SendClick(check);
    EXPECT_FALSE(check->IsSelected());
    EXPECT_EQ((std::vector<std::wstring>{L"click:check", L"selectchanged:check", L"click:check",
                                         L"selectchanged:check"}),
              Seen(w.notes));

    // Selected: the selected colour; selected and disabled: the selected disabled image.
    check->Selected(true, false);
    ::InvalidateRect(w.GetHWND(), nullptr, FALSE);
    ::UpdateWindow(w.GetHWND());
    EXPECT_EQ(0x00FF00u, skintest::OffscreenPixel(w.GetManager(), 50, 75));
    check->SetEnabled(false);
    EXPECT_EQ(static_cast<UINT>(UISTATE_SELECTED), check->GetButtonState());
    ::UpdateWindow(w.GetHWND());
    EXPECT_EQ(0xFF0000u, skintest::OffscreenPixel(w.GetManager(), 50, 75));
}

TEST(Option, AnOptionDeletedAfterTheBuildLeavesItsGroup)
{
    SkinnedWindow w(kOptions);
    CContainerUI* root = w.Find<CContainerUI>(L"root");
    COptionUI* o1 = w.Find<COptionUI>(L"o1");
    COptionUI* o3 = w.Find<COptionUI>(L"o3");
    ASSERT_TRUE(root != nullptr && o1 != nullptr && o3 != nullptr);
    w.SendClick(o3);
    ASSERT_TRUE(o3->IsSelected());

    ASSERT_TRUE(root->Remove(o3));
    skintest::RunQueueFor(50);  // deleted now, or at the manager's delayed clean-up
    const CUiPtrArray* group = w.GetManager().GetOptionGroup(L"g");
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(2, group->GetSize());
    EXPECT_EQ(-1, group->Find(o3));

    // The next selection in the group walks it safely.
    w.SendClick(o1);
    EXPECT_TRUE(o1->IsSelected());
    EXPECT_FALSE(w.Find<COptionUI>(L"o2")->IsSelected());

    // The core keeps no deleted control in a group, whatever name the option carries by then.
    COptionUI* stray = new COptionUI;
    root->Add(stray);
    w.GetManager().AddOptionGroup(L"other", stray);
    root->Remove(stray);
    skintest::RunQueueFor(50);
    EXPECT_EQ(nullptr, w.GetManager().GetOptionGroup(L"other"));
}

// Deletes the option its click came from.
struct DeleteOnClick : INotifyUI {
    void Notify(UiNotify& msg) override
    {
        if (msg.sType == L"click" && msg.pSender == option) {
            root->Remove(option);
            option = nullptr;
        }
    }
    CContainerUI* root = nullptr;
    CControlUI* option = nullptr;
};

TEST(Option, AClickHandlerMayDeleteTheOption)
{
    SkinnedWindow w(L"<Window size=\"200,100\"><Container name=\"root\"/></Window>");
    CContainerUI* root = w.Find<CContainerUI>(L"root");
    ASSERT_NE(nullptr, root);
    root->SetDelayedDestroy(false);
    DeleteOnClick deleter;
    w.GetManager().AddNotifier(&deleter);
    skintest::FaultCounter faults;
    for (const wchar_t* group : {L"", L"g"}) {
        COptionUI* option = new skintest::Poisoned<COptionUI>;
        option->SetAttribute(L"float", L"true");
        option->SetAttribute(L"pos", L"10,10,90,40");
        option->SetGroup(group);
        root->Add(option);
        ::UpdateWindow(w.GetHWND());
        deleter.root = root;
        deleter.option = option;
        w.SendClick(option);  // poisoned once deleted: any later use of it faults
        EXPECT_EQ(nullptr, deleter.option);
        EXPECT_EQ(0, root->GetCount());
    }
    EXPECT_EQ(0, faults.Count());
    w.GetManager().RemoveNotifier(&deleter);
}

}  // namespace
