// The skin builder: XML to control tree, default attribute lists, Include,
// cover, unknown elements, factories and callbacks, and build errors.
#include <gtest/gtest.h>

#include <string>

#include "common/test_util.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/skin_builder.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/window_impl_base.h"

using namespace SkinUI;

namespace {

// Counts its live instances, so a test can see what the builder deleted.
class ProbeUI : public CControlUI {
public:
    ProbeUI() { ++s_live; }
    ~ProbeUI() override { --s_live; }
    const wchar_t* GetClass() const override { return L"Probe"; }
    static int s_live;
};
int ProbeUI::s_live = 0;

class ProbeCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const wchar_t* className) override
    {
        asked += className;
        asked += L";";
        return wcscmp(className, L"Probe") == 0 ? new ProbeUI : nullptr;
    }
    std::wstring asked;
};

CContainerUI* AsContainer(CControlUI* control)
{
    return control != nullptr ? static_cast<CContainerUI*>(control->GetInterface(L"Container")) : nullptr;
}

std::wstring Text(const CUiString& s) { return s.GetData(); }

// The folder without its trailing backslash, as a skin folder is given.
std::wstring FolderOf(const testutil::TempDir& dir) { return dir.path().substr(0, dir.path().size() - 1); }

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

    CSkinBuilder builder;
    CControlUI* root = nullptr;
};

TEST_F(SkinBuilderTest, BuildsTheTreeWithNamesAndAttributes)
{
    Build(L"<Window size=\"300,200\">"
          L"  <Container name=\"body\" inset=\"1,2,3,4\" childpadding=\"-5\">"
          L"    <Control name=\"first\" width=\"30\" bkcolor=\"#FF102030\"/>"
          L"    <Container name=\"inner\"><Control name=\"deep\" tooltip=\"a&lt;n&gt;b\"/></Container>"
          L"  </Container>"
          L"</Window>");
    CContainerUI* body = AsContainer(root);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(Text(body->GetName()), L"body");
    EXPECT_EQ(body->GetInset().left, 1);
    EXPECT_EQ(body->GetInset().bottom, 4);
    EXPECT_EQ(body->GetChildPadding(), 0);  // negative padding is stored as 0
    ASSERT_EQ(body->GetCount(), 2);
    CControlUI* first = body->GetItemAt(0);
    EXPECT_STREQ(first->GetClass(), L"Control");
    EXPECT_EQ(Text(first->GetName()), L"first");
    EXPECT_EQ(first->GetFixedWidth(), 30);
    EXPECT_EQ(first->GetBkColor(), 0xFF102030u);
    EXPECT_EQ(first->GetParent(), body);
    CContainerUI* inner = AsContainer(body->GetItemAt(1));
    ASSERT_NE(inner, nullptr);
    ASSERT_EQ(inner->GetCount(), 1);
    EXPECT_EQ(Text(inner->GetItemAt(0)->GetName()), L"deep");
    EXPECT_EQ(Text(inner->GetItemAt(0)->GetToolTip()), L"a\r\nb");
}

TEST_F(SkinBuilderTest, TopElementOtherThanWindowIsTheFirstControl)
{
    Build(L"<Container name=\"top\"><Control name=\"a\"/></Container>");
    ASSERT_NE(AsContainer(root), nullptr);
    EXPECT_EQ(Text(root->GetName()), L"top");
    EXPECT_EQ(AsContainer(root)->GetCount(), 1);
}

TEST_F(SkinBuilderTest, DefaultListsApplyBeforeTheElementsOwnAttributes)
{
    CUiManager manager;
    Build(L"<Window>"
          L"  <Default name=\"Control\" value=\"width=&quot;10&quot; height=&quot;20&quot; userdata=&quot;dflt&quot;\"/>"
          L"  <Container>"
          L"    <Control name=\"own\" width=\"30\"/>"
          L"    <Control name=\"plain\"/>"
          L"  </Container>"
          L"</Window>",
          &manager);
    ASSERT_NE(AsContainer(root), nullptr);
    CControlUI* own = AsContainer(root)->GetItemAt(0);
    CControlUI* plain = AsContainer(root)->GetItemAt(1);
    EXPECT_EQ(own->GetFixedWidth(), 30);  // its own value wins
    EXPECT_EQ(own->GetFixedHeight(), 20);
    EXPECT_EQ(Text(own->GetUserData()), L"dflt");
    EXPECT_EQ(plain->GetFixedWidth(), 10);
    // The list is for "Control" only: the container did not get it.
    EXPECT_EQ(root->GetFixedWidth(), 0);
    // The tree is handed back detached; the caller attaches it.
    EXPECT_EQ(own->GetManager(), nullptr);
    EXPECT_EQ(own->GetParent(), root);
    manager.AttachDialog(root);
    EXPECT_EQ(manager.FindControl(L"plain"), plain);
    root = nullptr;  // the manager owns it now
}

TEST_F(SkinBuilderTest, ResourcePassRegistersFontsAndDefaults)
{
    CUiManager manager;
    Build(L"<Window>"
          L"  <Font id=\"3\" name=\"Arial\" size=\"17\" bold=\"true\"/>"
          L"  <Font name=\"Arial\" size=\"15\"/>"
          L"  <Default name=\"Container\" value=\"inset=&quot;5,5,5,5&quot;\"/>"
          L"  <Container/>"
          L"</Window>",
          &manager);
    ASSERT_NE(root, nullptr);
    UiFontInfo* font = manager.GetFontInfo(3);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->iSize, 17);
    EXPECT_TRUE(font->bBold);
    EXPECT_STREQ(manager.GetDefaultAttributeList(L"Container"), L"inset=\"5,5,5,5\"");
    EXPECT_EQ(AsContainer(root)->GetInset().top, 5);
}

TEST_F(SkinBuilderTest, IncludeBuildsItsSourceCountTimesIntoTheSameParent)
{
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::writeFile(dir.file(L"row.xml"), "<Control name=\"row\" height=\"24\"/>"));
    CUiManager::SetResourcePath(FolderOf(dir).c_str());
    Build(L"<Window><Container name=\"list\">"
          L"  <Control name=\"head\"/>"
          L"  <Include source=\"row.xml\" count=\"3\"/>"
          L"  <Include source=\"&lt;Control name=&quot;inline&quot;/&gt;\"/>"
          L"  <Include source=\"row.xml\" count=\"0\"/>"
          L"  <Control name=\"tail\"/>"
          L"</Container></Window>");
    CContainerUI* list = AsContainer(root);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetCount(), 6);
    EXPECT_EQ(Text(list->GetItemAt(0)->GetName()), L"head");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(Text(list->GetItemAt(i)->GetName()), L"row");
        EXPECT_EQ(list->GetItemAt(i)->GetFixedHeight(), 24);
        EXPECT_EQ(list->GetItemAt(i)->GetParent(), list);
    }
    EXPECT_EQ(Text(list->GetItemAt(4)->GetName()), L"inline");
    EXPECT_EQ(Text(list->GetItemAt(5)->GetName()), L"tail");
}

TEST_F(SkinBuilderTest, AnIncludeOfItselfStopsAtTheDepthLimitWithAnError)
{
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::writeFile(dir.file(L"self.xml"),
                                    "<Container name=\"self\"><Include source=\"self.xml\"/></Container>"));
    CUiManager::SetResourcePath(FolderOf(dir).c_str());
    Build(L"self.xml");
    ASSERT_NE(root, nullptr);
    int depth = 0;
    for (CContainerUI* level = AsContainer(root); level != nullptr && level->GetCount() > 0;
         level = AsContainer(level->GetItemAt(0))) {
        ++depth;
    }
    EXPECT_EQ(depth, CSkinBuilder::MAX_INCLUDE_DEPTH);
    wchar_t message[100] = L"";
    wchar_t location[100] = L"";
    builder.GetLastErrorMessage(message, 100);
    builder.GetLastErrorLocation(location, 100);
    EXPECT_STREQ(message, L"Include nested too deep");
    EXPECT_STREQ(location, L"self.xml");
}

TEST_F(SkinBuilderTest, CoverBecomesTheParentsCoverNotAChild)
{
    Build(L"<Container><Control name=\"over\" cover=\"true\"/><Control name=\"child\"/></Container>");
    CContainerUI* container = AsContainer(root);
    ASSERT_NE(container, nullptr);
    ASSERT_NE(container->GetCover(), nullptr);
    EXPECT_EQ(Text(container->GetCover()->GetName()), L"over");
    ASSERT_EQ(container->GetCount(), 1);
    EXPECT_EQ(Text(container->GetItemAt(0)->GetName()), L"child");
}

TEST_F(SkinBuilderTest, UnknownElementsAreSkippedWithTheirChildrenUnlessSomeoneCreatesThem)
{
    ProbeCallback callback;
    Build(L"<Container>"
          L"  <Mystery><Control name=\"lost\"/></Mystery>"
          L"  <Probe name=\"found\"><Control name=\"ignored\"/></Probe>"
          L"  <Image name=\"x.png\"/><Font id=\"1\"/><Default name=\"A\" value=\"\"/><MultiLanguage/>"
          L"</Container>",
          nullptr, &callback);
    CContainerUI* container = AsContainer(root);
    ASSERT_NE(container, nullptr);
    ASSERT_EQ(container->GetCount(), 1);
    EXPECT_EQ(Text(container->GetItemAt(0)->GetName()), L"found");
    EXPECT_STREQ(container->GetItemAt(0)->GetClass(), L"Probe");
    // Resource elements and table names never reach the callback.
    EXPECT_EQ(callback.asked, L"Mystery;Probe;");
}

TEST_F(SkinBuilderTest, ManagerFactoriesComeBeforeTheCallback)
{
    UiCreateControlProc factory = [](const wchar_t* name) -> CControlUI* {
        return wcscmp(name, L"Probe") == 0 ? new ProbeUI : nullptr;
    };
    CUiManager::GetControlFactories()->Add(reinterpret_cast<void*>(factory));
    ProbeCallback callback;
    Build(L"<Container><Probe/></Container>", nullptr, &callback);
    CUiManager::GetControlFactories()->Remove(CUiManager::GetControlFactories()->GetSize() - 1);
    ASSERT_NE(AsContainer(root), nullptr);
    EXPECT_EQ(AsContainer(root)->GetCount(), 1);
    EXPECT_TRUE(callback.asked.empty());
}

TEST_F(SkinBuilderTest, AControlUnderAParentWithoutChildrenIsDeletedNotLeaked)
{
    int before = ProbeUI::s_live;
    ProbeCallback callback;
    Build(L"<Control name=\"leaf\"><Probe><Probe/></Probe><Control/></Control>", nullptr, &callback);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Text(root->GetName()), L"leaf");
    EXPECT_EQ(ProbeUI::s_live, before);
}

TEST_F(SkinBuilderTest, ExtraTopLevelControlsWithoutParentAreDropped)
{
    int before = ProbeUI::s_live;
    ProbeCallback callback;
    Build(L"<Window><Control name=\"one\"/><Probe/></Window>", nullptr, &callback);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Text(root->GetName()), L"one");
    EXPECT_EQ(ProbeUI::s_live, before);
}

TEST_F(SkinBuilderTest, BuildsUnderAGivenParent)
{
    CContainerUI parent;
    CControlUI* first = builder.Create(L"<Window><Control name=\"a\"/><Control name=\"b\"/></Window>", nullptr,
                                       nullptr, nullptr, &parent);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Text(first->GetName()), L"a");
    ASSERT_EQ(parent.GetCount(), 2);
    EXPECT_EQ(parent.GetItemAt(1)->GetParent(), &parent);
}

TEST_F(SkinBuilderTest, AFailedBuildKeepsTheParseErrorForTheWindowsMessage)
{
    EXPECT_EQ(Build(L"<Window><Container></Window>"), nullptr);
    wchar_t message[100] = L"";
    builder.GetLastErrorMessage(message, 100);
    EXPECT_STREQ(message, L"Unmatched closing tag");
    wchar_t location[100] = L"";
    builder.GetLastErrorLocation(location, 100);
    EXPECT_NE(std::wstring(location).find(L"Window>"), std::wstring::npos);
    EXPECT_EQ(Text(WindowImplBase::FormatSkinLoadError(builder)),
              std::wstring(L"load resource errr. location:") + location + L" msg:Unmatched closing tag");

    CSkinBuilder missing;
    EXPECT_EQ(missing.Create(L"no_such_skin.xml"), nullptr);
    EXPECT_NE(Text(WindowImplBase::FormatSkinLoadError(missing)).find(L"no_such_skin.xml"), std::wstring::npos);
}

TEST_F(SkinBuilderTest, SkinsComeFromResourcesAndTheirIncludesToo)
{
    // builder_test.rc: 300 SKINXML holds a container that includes 301 twice.
    CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    root = builder.Create(CUiStringOrId(300u), L"SKINXML");
    CContainerUI* container = AsContainer(root);
    ASSERT_NE(container, nullptr);
    ASSERT_EQ(container->GetCount(), 2);
    EXPECT_EQ(Text(container->GetItemAt(1)->GetName()), L"fromres");

    CSkinBuilder missing;
    EXPECT_EQ(missing.Create(CUiStringOrId(399u), L"SKINXML"), nullptr);
    wchar_t message[100] = L"";
    missing.GetLastErrorMessage(message, 100);
    EXPECT_STREQ(message, L"Skin resource not found");
}

}  // namespace
