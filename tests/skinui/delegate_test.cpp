#include <gtest/gtest.h>

#include <string>

#include "skinui/core/ui_event_source.h"

using SkinUI::CDelegate;
using SkinUI::CDelegateStatic;
using SkinUI::CUiEventSource;

namespace {

struct Listener {
    std::wstring* log;
    wchar_t tag;
    bool answer;

    bool OnEvent(void*)
    {
        *log += tag;
        return answer;
    }
    bool OnOther(void*)
    {
        *log += L'o';
        return true;
    }
};

int g_staticCalls = 0;
bool CountStatic(void*)
{
    ++g_staticCalls;
    return true;
}

typedef CDelegate<Listener, Listener> ListenerDelegate;

}  // namespace

TEST(CUiEventSourceTest, DuplicatesAreIgnoredAndCallsRunInInsertionOrder)
{
    std::wstring log;
    Listener a{&log, L'a', true};
    Listener b{&log, L'b', true};
    CUiEventSource source;
    EXPECT_TRUE(source(nullptr));  // an empty source answers true
    source += ListenerDelegate(&a, &Listener::OnEvent);
    source += ListenerDelegate(&a, &Listener::OnEvent);
    source += ListenerDelegate(&b, &Listener::OnEvent);  // other object
    source += ListenerDelegate(&a, &Listener::OnOther);  // other function
    source += CDelegateStatic(&CountStatic);
    source += CDelegateStatic(&CountStatic);
    EXPECT_EQ(4, source.GetCount());
    g_staticCalls = 0;
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ(L"abo", log);
    EXPECT_EQ(1, g_staticCalls);
}

TEST(CUiEventSourceTest, FirstFalseVetoes)
{
    std::wstring log;
    Listener first{&log, L'1', true};
    Listener second{&log, L'2', false};
    Listener third{&log, L'3', true};
    CUiEventSource source;
    {
        // The source keeps copies; the caller's delegates may go away.
        ListenerDelegate d1(&first, &Listener::OnEvent);
        ListenerDelegate d2(&second, &Listener::OnEvent);
        ListenerDelegate d3(&third, &Listener::OnEvent);
        source += d1;
        source += d2;
        source += d3;
    }
    EXPECT_FALSE(source(nullptr));
    EXPECT_EQ(L"12", log);
}
