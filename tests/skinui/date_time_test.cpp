// The date-time picker in a skinned window under real input: today's date at
// creation, the native picker its focus opens, the text rebuilt from the
// picker when it loses the focus, Escape and Delete.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "skinned_window.h"
#include "skinui/controls/date_time_ui.h"

using namespace SkinUI;
using skintest::RunQueueFor;
using skintest::RunQueueUntil;
using skintest::SkinnedWindow;

namespace {

const wchar_t kPicker[] = L"<Window size=\"400,200\"><Container bkcolor=\"#FFFFFFFF\">"
                          L"  <DateTime name=\"date\" float=\"true\" pos=\"20,20,220,48\"/>"
                          L"  <Button name=\"other\" float=\"true\" pos=\"20,100,120,130\" text=\"other\"/>"
                          L"</Container></Window>";

std::wstring Format(const SYSTEMTIME& st)
{
    wchar_t text[16];
    swprintf(text, 16, L"%04d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
    return text;
}

TEST(DateTime, ShowsTodayAndTakesThePickersDateWhenThePickerLosesTheFocus)
{
    SkinnedWindow w(kPicker);
    CDateTimeUI* date = w.Find<CDateTimeUI>(L"date");
    ASSERT_NE(nullptr, date);
    SYSTEMTIME today = {};
    ::GetLocalTime(&today);
    EXPECT_EQ(Format(today), date->GetText().GetData());

    w.Click(date);
    ASSERT_TRUE(RunQueueUntil([&] { return date->GetNativeWindow() != nullptr; }, 5000));
    HWND picker = date->GetNativeWindow();
    wchar_t className[32] = L"";
    ::GetClassNameW(picker, className, 32);
    EXPECT_STREQ(L"DateTimeWnd", className);
    EXPECT_TRUE(skintest::RectIs(w.ChildRect(picker), 20, 20, 220, 48));

    // The user picks 5 March 2026, then clicks elsewhere.
    SYSTEMTIME chosen = today;
    chosen.wYear = 2026;
    chosen.wMonth = 3;
    chosen.wDay = 5;
    ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
    w.Click(w.Find<CControlUI>(L"other"));
    ASSERT_TRUE(RunQueueUntil([&] { return !::IsWindow(picker); }, 5000));
    EXPECT_EQ(nullptr, date->GetNativeWindow());
    EXPECT_STREQ(L"2026-03-05", date->GetText().GetData());

    // Escape keeps the date and closes only the picker; Delete empties the text.
    w.Click(date);
    ASSERT_TRUE(
        RunQueueUntil([&] { return ::GetFocus() == date->GetNativeWindow() && ::GetFocus() != nullptr; }, 5000));
    chosen.wDay = 9;
    ::SendMessageW(date->GetNativeWindow(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
    skintest::RealKey(VK_ESCAPE);
    ASSERT_TRUE(RunQueueUntil([&] { return date->GetNativeWindow() == nullptr; }, 5000));
    RunQueueFor(100);
    EXPECT_STREQ(L"2026-03-05", date->GetText().GetData());
    EXPECT_EQ(0, w.closes);

    w.Click(date);
    ASSERT_TRUE(
        RunQueueUntil([&] { return ::GetFocus() == date->GetNativeWindow() && ::GetFocus() != nullptr; }, 5000));
    skintest::RealKey(VK_DELETE);
    ASSERT_TRUE(RunQueueUntil([&] { return date->GetNativeWindow() == nullptr; }, 5000));
    EXPECT_STREQ(L"", date->GetText().GetData());
    EXPECT_EQ(5, date->GetTime().wDay);  // the date itself stays
}

TEST(DateTime, ItsDropDownCalendarKeepsThePickerOpenAndGivesTheDayPicked)
{
    SkinnedWindow w(kPicker);
    CDateTimeUI* date = w.Find<CDateTimeUI>(L"date");
    ASSERT_NE(nullptr, date);
    w.Click(date);
    ASSERT_TRUE(RunQueueUntil([&] { return date->GetNativeWindow() != nullptr; }, 5000));
    HWND picker = date->GetNativeWindow();
    RunQueueFor(::GetDoubleClickTime() + 100);

    // The drop-down button at the picker's right end takes the focus into the calendar.
    POINT button = {212, 34};
    ::ClientToScreen(w.GetHWND(), &button);
    uidriver::clickAt(button);
    HWND calendar = nullptr;
    ASSERT_TRUE(RunQueueUntil(
        [&] {
            calendar = reinterpret_cast<HWND>(::SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
            return calendar != nullptr && ::IsWindowVisible(calendar);
        },
        5000));
    EXPECT_TRUE(::IsWindow(picker));

    // A day of the calendar, as the calendar itself names it.
    RECT rc = {};
    ::GetWindowRect(calendar, &rc);
    MCHITTESTINFO hit = {};
    hit.cbSize = sizeof(hit);
    hit.pt = {(rc.right - rc.left) / 2, (rc.bottom - rc.top) * 3 / 5};
    ::SendMessageW(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    ASSERT_EQ(static_cast<UINT>(MCHT_CALENDARDATE), hit.uHit & MCHT_CALENDARDATE);
    uidriver::clickAt(POINT{rc.left + hit.pt.x, rc.top + hit.pt.y});
    ASSERT_TRUE(RunQueueUntil([&] { return !::IsWindow(picker); }, 5000));
    EXPECT_EQ(Format(hit.st), date->GetText().GetData());
}

}  // namespace
