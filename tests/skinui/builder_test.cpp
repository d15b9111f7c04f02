// The skin builder: XML to control tree, default attribute lists, Include,
// cover, unknown elements, factories and callbacks, dropped controls leaving
// no names behind, and build errors.
#include <gtest/gtest.h>

#include <string>

#include "common/test_util.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/skin_builder.h"
#include "skinui/core/window_impl_base.h"
#include "test_helpers.h"

using namespace SkinUI;

namespace {

class ProbeCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const wchar_t* className) override
    {
        asked += std::wstring(className) + L";";
        return wcscmp(className, L"Probe") == 0 ? new skintest::CountedControl(L"Probe") : nullptr;
    }
    std::wstring asked;
};

CContainerUI* AsContainer(CControlUI* control)
{
    return control != nullptr ? static_cast<CContainerUI*>(control->GetInterface(L"Container")) : nullptr;
}

// The names of the container's children, "a,b,c".
std::wstring Names(CControlUI* control)
{
    CContainerUI* container = AsContainer(control);
    std::wstring names;
    for (int i = 0; container != nullptr && i < container->GetCount(); ++i) {
        names += (i > 0 ? L"," : L"") + std::wstring(container->GetItemAt(i)->GetName().GetData());
    }
    return names;
}

class SkinBuilderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterControlElements(); }
    void TearDown() override
    {
        delete root;
        CUiManager::SetResourcePath(L"");
    }
    CControlUI* Build(const wchar_t* xml, CUiManager* manager = nullptr, IDialogBuilderCallback* callback = nullptr)
    {
        root = builder.Create(xml, nullptr, callback, manager, nullptr);
        return root;
    }
    // "message|location" of the last build.
    std::wstring Error(CSkinBuilder& b)
    {
        wchar_t message[100] = L"", location[100] = L"";
        b.GetLastErrorMessage(message, 100);
        b.GetLastErrorLocation(location, 100);
        return std::wstring(message) + L"|" + location;
    }
    // Skin files are read from a fresh folder.
    void SkinFile(const wchar_t* name, const std::string& bytes)
    {
        ASSERT_TRUE(testutil::writeFile(dir.file(name), bytes));
        CUiManager::SetResourcePath(dir.path().substr(0, dir.path().size() - 1).c_str());
    }

    testutil::TempDir dir;
    CSkinBuilder builder;
    CControlUI* root = nullptr;
};

TEST_F(SkinBuilderTest, BuildsTheTreeWithNamesAndAttributes)
{
    Build(L"<Window size=\"300,200\">"
          L"  <Container name=\"body\" inset=\"1,2,3,4\">"
          L"    <Control name=\"first\" width=\"30\" bkcolor=\"#FF102030\"/>"
          L"    <Container name=\"inner\"><Control name=\"deep\" tooltip=\"a&lt;n&gt;b\"/></Container>"
          L"  </Container>"
          L"</Window>");
    CContainerUI* body = AsContainer(root);
    ASSERT_NE(body, nullptr);
    EXPECT_STREQ(body->GetName(), L"body");  // the top element other than Window is the first control
    EXPECT_TRUE(skintest::RectIs(body->GetInset(), 1, 2, 3, 4));
    EXPECT_EQ(Names(body), L"first,inner");
    CControlUI* first = body->GetItemAt(0);
    EXPECT_STREQ(first->GetClass(), L"Control");
    EXPECT_EQ(first->GetFixedWidth(), 30);
    EXPECT_EQ(first->GetBkColor(), 0xFF102030u);
    EXPECT_EQ(first->GetParent(), body);
    CContainerUI* inner = AsContainer(body->GetItemAt(1));
    ASSERT_EQ(Names(inner), L"deep");
    EXPECT_STREQ(inner->GetItemAt(0)->GetToolTip(), L"a\r\nb");
}

TEST_F(SkinBuilderTest, ResourcePassAndDefaultListsBeforeTheElementsOwnAttributes)
{
    CUiManager manager;
    SkinFile(L"pic.tga", skintest::MakeTga(1, 1, {0xFFFF00FF}));
    Build(L"<Window>"
          L"  <Image name=\"pic.tga\" mask=\"#FFFF00FF\"/><Image name=\"none.tga\"/>"
          L"  <Font id=\"3\" name=\"Arial\" size=\"17\" bold=\"true\"/>"
          L"  <Default name=\"Control\" value=\"width=&quot;10&quot; height=&quot;20&quot;\"/>"
          L"  <Container>"
          L"    <Control name=\"own\" width=\"30\"/>"
          L"    <Control name=\"plain\"/>"
          L"  </Container>"
          L"</Window>",
          &manager);
    ASSERT_EQ(Names(root), L"own,plain");
    EXPECT_EQ(manager.GetFontInfo(3)->iSize, 17);
    EXPECT_TRUE(manager.GetFontInfo(3)->bBold);
    ASSERT_NE(manager.GetImage(L"pic.tga"), nullptr);
    EXPECT_EQ(manager.GetImage(L"pic.tga")->dwMask, 0xFFFF00FFu);
    EXPECT_EQ(manager.GetImage(L"none.tga"), nullptr);
    CControlUI* own = AsContainer(root)->GetItemAt(0);
    CControlUI* plain = AsContainer(root)->GetItemAt(1);
    EXPECT_EQ(own->GetFixedWidth(), 30);  // its own value wins
    EXPECT_EQ(own->GetFixedHeight(), 20);
    EXPECT_EQ(plain->GetFixedWidth(), 10);
    EXPECT_EQ(root->GetFixedWidth(), 0);  // the list is for "Control" only
    // The tree is handed back detached; the caller attaches it.
    EXPECT_EQ(own->GetManager(), nullptr);
    manager.AttachDialog(root);
    EXPECT_EQ(manager.FindControl(L"plain"), plain);
    root = nullptr;  // the manager owns it now
}

TEST_F(SkinBuilderTest, IncludeBuildsItsSourceCountTimesIntoTheSameParent)
{
    SkinFile(L"row.xml", "<Control name=\"row\" height=\"24\"/>");
    Build(L"<Window><Container name=\"list\">"
          L"  <Control name=\"head\"/>"
          L"  <Include source=\"row.xml\" count=\"3\"/>"
          L"  <Include source=\"&lt;Control name=&quot;inline&quot;/&gt;\"/>"
          L"  <Include source=\"row.xml\" count=\"0\"/>"
          L"  <Control name=\"tail\"/>"
          L"</Container></Window>");
    ASSERT_EQ(Names(root), L"head,row,row,row,inline,tail");
    EXPECT_EQ(AsContainer(root)->GetItemAt(3)->GetFixedHeight(), 24);
    EXPECT_EQ(AsContainer(root)->GetItemAt(3)->GetParent(), root);
}

TEST_F(SkinBuilderTest, AnIncludeOfItselfStopsAtTheDepthLimitWithAnError)
{
    SkinFile(L"self.xml", "<Container name=\"self\"><Include source=\"self.xml\"/></Container>");
    Build(L"self.xml");
    ASSERT_NE(root, nullptr);
    int depth = 0;
    for (CContainerUI* level = AsContainer(root); level != nullptr && level->GetCount() > 0;
         level = AsContainer(level->GetItemAt(0))) {
        ++depth;
    }
    EXPECT_EQ(depth, CSkinBuilder::MAX_INCLUDE_DEPTH);
    EXPECT_EQ(Error(builder), L"Include nested too deep|self.xml");
}

TEST_F(SkinBuilderTest, IncludesStopAtAThousandCopiesForTheWholeSkin)
{
    SkinFile(L"row.xml", "<Control name=\"row\"/>");
    SkinFile(L"rows.xml", "<Window><Include source=\"row.xml\" count=\"100\"/></Window>");
    // One count beyond the bound builds nothing of it.
    Build(L"<Container><Include source=\"row.xml\" count=\"1001\"/></Container>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(AsContainer(root)->GetCount(), 0);
    EXPECT_EQ(Error(builder), L"Too many includes|row.xml");
    delete root;

    // Counts multiply through nested includes: 20 + 9 x 100 copies, then no more.
    CSkinBuilder nested;
    root = nested.Create(L"<Container><Include source=\"rows.xml\" count=\"20\"/></Container>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(AsContainer(root)->GetCount(), 900);
    EXPECT_EQ(Error(nested), L"Too many includes|row.xml");
}

// Controls nested n levels deep (the top level is 1); the deepest a button
// named "deepest", each level a container of another kind.
std::wstring NestedSkin(int levels, const wchar_t* first = L"")
{
    static const wchar_t* const kinds[] = {L"VerticalLayout", L"HorizontalLayout", L"Container", L"TabLayout",
                                           L"TileLayout"};
    std::wstring open, close;
    for (int level = 1; level < levels; ++level) {
        const wchar_t* kind = kinds[level % 5];
        open += std::wstring(L"<") + kind + L">" + (level == 1 ? first : L"");
        close = std::wstring(L"</") + kind + L">" + close;
    }
    return open + L"<Button name=\"deepest\" text=\"x\"/>" + close;
}

TEST_F(SkinBuilderTest, ASkinNestedBeyondTheBoundIsNotBuiltAtAll)
{
    EXPECT_EQ(CSkinBuilder::MAX_NESTING_DEPTH, 256);
    Build(NestedSkin(256).c_str());
    ASSERT_NE(root, nullptr);
    delete root;

    // One level more: nothing is kept, the probe beside the top level included.
    const int before = skintest::CountedControl::live;
    ProbeCallback callback;
    EXPECT_EQ(Build(NestedSkin(257, L"<Probe/>").c_str(), nullptr, &callback), nullptr);
    EXPECT_EQ(Error(builder), L"Skin nested too deep|Button");
    EXPECT_EQ(skintest::CountedControl::live, before);

    // Levels of an included file count from where it is included.
    SkinFile(L"deep.xml", testutil::narrow(NestedSkin(200)));
    CSkinBuilder included;
    std::wstring outer = NestedSkin(58);  // the file's top level is 58, its deepest 257
    outer.replace(outer.find(L"<Button"), outer.find(L"/>", outer.find(L"<Button")) + 2 - outer.find(L"<Button"),
                  L"<Include source=\"deep.xml\"/>");
    root = included.Create(outer.c_str());
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(Error(included), L"Skin nested too deep|Button");

    // The reader takes 200,000 levels; the builder refuses them without running out of stack.
    std::wstring deepest;
    for (int i = 0; i < 200000; ++i)
        deepest += L"<Container>";
    for (int i = 0; i < 200000; ++i)
        deepest += L"</Container>";
    CSkinBuilder huge;
    EXPECT_EQ(huge.Create(deepest.c_str()), nullptr);
    EXPECT_EQ(Error(huge), L"Skin nested too deep|Container");
}

// The programs build, lay out, paint and delete their skins on the UI
// thread, whose stack the linker makes 2 MiB; a skin at the nesting bound
// goes through all of that on half of it.
TEST_F(SkinBuilderTest, ASkinAtTheBoundLivesOnHalfTheUiThreadsStack)
{
    struct Run {
        std::wstring skin;
        bool clicked = false;
        static DWORD WINAPI Main(void* data)
        {
            Run* run = static_cast<Run*>(data);
            skintest::ManagedWindow w(0, 0, 400, 300);
            skintest::NotifyLog log;
            CSkinBuilder builder;
            CControlUI* root = builder.Create(run->skin.c_str(), nullptr, nullptr, &w.manager);
            if (root == nullptr)
                return 1;
            w.manager.AttachDialog(root);
            w.manager.AddNotifier(&log);
            ::ShowWindow(w.hwnd, SW_SHOWNOACTIVATE);
            ::UpdateWindow(w.hwnd);
            CControlUI* deepest = w.manager.FindControl(L"deepest");
            if (deepest == nullptr)
                return 2;
            const RECT rc = deepest->GetPos();
            const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            ::SendMessageW(w.hwnd, WM_MOUSEMOVE, 0, at);
            ::SendMessageW(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
            ::SendMessageW(w.hwnd, WM_LBUTTONUP, 0, at);
            run->clicked = log.Count(L"click") == 1;
            w.manager.RemoveNotifier(&log);
            w.Destroy();
            return 0;
        }
    } run;
    run.skin = L"<Window size=\"400,300\">" + NestedSkin(CSkinBuilder::MAX_NESTING_DEPTH) + L"</Window>";
    HANDLE thread = ::CreateThread(nullptr, 1024 * 1024, &Run::Main, &run, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeThread(thread, &code);
    ::CloseHandle(thread);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(run.clicked);
}

TEST_F(SkinBuilderTest, CoverBecomesTheParentsCoverNotAChild)
{
    Build(L"<Container><Control name=\"over\" cover=\"true\"/><Control name=\"child\"/></Container>");
    ASSERT_NE(AsContainer(root)->GetCover(), nullptr);
    EXPECT_STREQ(AsContainer(root)->GetCover()->GetName(), L"over");
    EXPECT_EQ(Names(root), L"child");
}

TEST_F(SkinBuilderTest, UnknownElementsGoToFactoriesThenTheCallbackOrAreSkipped)
{
    ProbeCallback callback;
    Build(L"<Container>"
          L"  <Mystery><Control name=\"lost\"/></Mystery>"
          L"  <Probe name=\"found\"><Control name=\"ignored\"/></Probe>"
          L"  <Image name=\"x.png\"/><Font id=\"1\"/><Default name=\"A\" value=\"\"/><MultiLanguage/>"
          L"</Container>",
          nullptr, &callback);
    EXPECT_EQ(Names(root), L"found");
    EXPECT_STREQ(AsContainer(root)->GetItemAt(0)->GetClass(), L"Probe");
    EXPECT_EQ(callback.asked, L"Mystery;Probe;");  // resource elements and table names never reach it
    delete root;

    UiCreateControlProc factory = [](const wchar_t* name) -> CControlUI* {
        return wcscmp(name, L"Probe") == 0 ? new skintest::CountedControl(L"Probe") : nullptr;
    };
    CUiManager::GetControlFactories()->Add(reinterpret_cast<void*>(factory));
    callback.asked.clear();
    Build(L"<Container><Probe/></Container>", nullptr, &callback);
    CUiManager::GetControlFactories()->Remove(CUiManager::GetControlFactories()->GetSize() - 1);
    EXPECT_EQ(AsContainer(root)->GetCount(), 1);
    EXPECT_TRUE(callback.asked.empty());
}

TEST_F(SkinBuilderTest, ControlsWithoutAContainerToHoldThemAreDeletedNotLeaked)
{
    int before = skintest::CountedControl::live;
    ProbeCallback callback;
    Build(L"<Control name=\"leaf\"><Probe><Probe/></Probe><Control/></Control>", nullptr, &callback);
    EXPECT_STREQ(root->GetName(), L"leaf");
    EXPECT_EQ(skintest::CountedControl::live, before);
    delete root;
    // A second top-level control has no parent to go to.
    Build(L"<Window><Control name=\"one\"/><Probe/></Window>", nullptr, &callback);
    EXPECT_STREQ(root->GetName(), L"one");
    EXPECT_EQ(skintest::CountedControl::live, before);

    CContainerUI parent;  // under a given parent every top-level control is added
    CControlUI* first = builder.Create(L"<Window><Control name=\"a\"/><Control name=\"b\"/></Window>", nullptr, nullptr,
                                       nullptr, &parent);
    EXPECT_EQ(first, parent.GetItemAt(0));
    EXPECT_EQ(Names(&parent), L"a,b");
}

// A container that takes no child.
class RefusingContainer : public CContainerUI {
public:
    bool Add(CControlUI*) override { return false; }
};

class RefuserCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const wchar_t* className) override
    {
        return wcscmp(className, L"Refuser") == 0 ? new RefusingContainer : nullptr;
    }
};

TEST_F(SkinBuilderTest, DroppedControlsLeaveNoNamesInTheManager)
{
    // Named controls in each place the builder drops: under a refused child,
    // under a parent that holds no children, in an extra top-level element,
    // in the extra copies of a top-level Include.
    const wchar_t* dropped[] = {L"refusedChild", L"orphanChild", L"extraChild", L"includedChild"};
    const wchar_t* skin =
        L"<Window>"
        L"  <Container name=\"root\">"
        L"    <Refuser name=\"refuser\"><Container><Control name=\"refusedChild\"/></Container></Refuser>"
        L"    <Control name=\"leaf\"><Container><Control name=\"orphanChild\"/></Container></Control>"
        L"  </Container>"
        L"  <Container><Control name=\"extraChild\"/></Container>"
        L"  <Include source=\"&lt;Container&gt;&lt;Control name=&quot;includedChild&quot;/&gt;&lt;/Container&gt;\""
        L"           count=\"2\"/>"
        L"</Window>";
    RefuserCallback callback;
    CUiManager manager;
    Build(skin, &manager, &callback);
    ASSERT_NE(root, nullptr);
    for (const wchar_t* name : dropped) {
        EXPECT_EQ(manager.FindControl(name), nullptr) << testutil::narrow(name);
    }
    manager.AttachDialog(root);
    root = nullptr;  // the manager owns it now
    for (const wchar_t* name : dropped) {
        EXPECT_EQ(manager.FindControl(name), nullptr) << testutil::narrow(name);
    }
    EXPECT_NE(manager.FindControl(L"refuser"), nullptr);
    EXPECT_NE(manager.FindControl(L"leaf"), nullptr);
}

TEST_F(SkinBuilderTest, AFailedBuildKeepsTheParseErrorForTheWindowsMessage)
{
    EXPECT_EQ(Build(L"<Window><Container></Window>"), nullptr);
    std::wstring error = Error(builder);
    EXPECT_EQ(error.substr(0, error.find(L'|')), L"Unmatched closing tag");
    EXPECT_NE(error.find(L"Window>"), std::wstring::npos);
    std::wstring location = error.substr(error.find(L'|') + 1);
    EXPECT_STREQ(WindowImplBase::FormatSkinLoadError(builder),
                 (L"load resource errr. location:" + location + L" msg:Unmatched closing tag").c_str());

    CSkinBuilder missing;
    EXPECT_EQ(missing.Create(L"no_such_skin.xml"), nullptr);
    EXPECT_NE(std::wstring(WindowImplBase::FormatSkinLoadError(missing).GetData()).find(L"no_such_skin.xml"),
              std::wstring::npos);
}

TEST_F(SkinBuilderTest, SkinsComeFromResourcesAndTheirIncludesToo)
{
    // builder_test.rc: 300 SKINXML holds a container that includes 301 twice.
    CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    root = builder.Create(CUiStringOrId(300u), L"SKINXML");
    EXPECT_EQ(Names(root), L"fromres,fromres");
    CSkinBuilder missing;
    EXPECT_EQ(missing.Create(CUiStringOrId(399u), L"SKINXML"), nullptr);
    EXPECT_EQ(Error(missing), L"Skin resource not found|SKINXML");
}

}  // namespace
