#include <gtest/gtest.h>

#include <string>

#include "skinui/core/ui_event_source.h"

using SkinUI::CDelegate;
using SkinUI::CDelegateStatic;
using SkinUI::CUiEventSource;

namespace {

struct Listener {
    std::wstring* log = nullptr;
    wchar_t tag = L'?';
    bool answer = true;

    bool OnEvent(void* param) {
        *log += tag;
        if (param != nullptr) {
            ++*static_cast<int*>(param);
        }
        return answer;
    }
    bool OnOther(void*) {
        *log += L'o';
        return true;
    }
};

int g_staticCalls = 0;
bool CountStatic(void*) {
    ++g_staticCalls;
    return true;
}

}  // namespace

TEST(CUiEventSourceTest, EmptySourceAnswersTrue) {
    CUiEventSource source;
    EXPECT_FALSE(source);
    EXPECT_TRUE(source(nullptr));
}

TEST(CUiEventSourceTest, DuplicatesAreIgnored) {
    std::wstring log;
    Listener a{&log, L'a'};
    Listener b{&log, L'b'};
    CUiEventSource source;
    source += CDelegate<Listener, Listener>(&a, &Listener::OnEvent);
    source += CDelegate<Listener, Listener>(&a, &Listener::OnEvent);
    EXPECT_EQ(1, source.GetCount());
    source += CDelegate<Listener, Listener>(&b, &Listener::OnEvent);   // other object
    source += CDelegate<Listener, Listener>(&a, &Listener::OnOther);   // other function
    source += CDelegateStatic(&CountStatic);
    source += CDelegateStatic(&CountStatic);
    EXPECT_EQ(4, source.GetCount());
    EXPECT_TRUE(source);

    int calls = 0;
    g_staticCalls = 0;
    EXPECT_TRUE(source(&calls));
    EXPECT_EQ(L"abo", log);  // insertion order
    EXPECT_EQ(2, calls);
    EXPECT_EQ(1, g_staticCalls);
}

TEST(CUiEventSourceTest, FirstFalseVetoes) {
    std::wstring log;
    Listener first{&log, L'1'};
    Listener second{&log, L'2', false};
    Listener third{&log, L'3'};
    CUiEventSource source;
    {
        // The source keeps copies; the caller's delegates may go away.
        CDelegate<Listener, Listener> d1(&first, &Listener::OnEvent);
        CDelegate<Listener, Listener> d2(&second, &Listener::OnEvent);
        CDelegate<Listener, Listener> d3(&third, &Listener::OnEvent);
        source += d1;
        source += d2;
        source += d3;
    }
    EXPECT_FALSE(source(nullptr));
    EXPECT_EQ(L"12", log);
}

TEST(CDelegateTest, CopyAndEquality) {
    std::wstring log;
    Listener a{&log, L'a'};
    Listener b{&log, L'b'};
    CDelegate<Listener, Listener> d(&a, &Listener::OnEvent);
    SkinUI::CDelegateBase* copy = d.Copy();
    EXPECT_TRUE(copy->Equals(d));
    EXPECT_EQ(&a, copy->GetReceiver());
    EXPECT_TRUE((*copy)(nullptr));
    EXPECT_EQ(L"a", log);
    delete copy;
    EXPECT_FALSE(d.Equals(CDelegate<Listener, Listener>(&b, &Listener::OnEvent)));
    EXPECT_FALSE(d.Equals(CDelegateStatic(&CountStatic)));
}
