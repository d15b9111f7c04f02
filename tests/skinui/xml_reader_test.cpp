#include <gtest/gtest.h>

#include <string>

#include "common/test_util.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/xml_reader.h"

using SkinUI::CXmlNode;
using SkinUI::CXmlReader;

namespace {

bool Load(CXmlReader& reader, const std::string& bytes, int encoding = SkinUI::UIXML_ENCODING_UTF8)
{
    return reader.LoadFromMem(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), encoding);
}

std::string SkinFile(const char* name)
{
    return testutil::readFile(testutil::exeDir() + L"skinui_data\\" + testutil::widen(name));
}

// "name(child child ...)" for the whole tree below node, siblings included.
std::wstring Shape(CXmlNode node)
{
    std::wstring out;
    for (; node.IsValid(); node = node.GetSibling()) {
        out += (out.empty() ? L"" : L" ") + std::wstring(node.GetName());
        if (node.HasChildren()) {
            out += L'(' + Shape(node.GetChild()) + L')';
        }
    }
    return out;
}

// "message|location" of a load that must fail.
std::wstring Error(const std::string& text)
{
    CXmlReader reader;
    EXPECT_FALSE(Load(reader, text)) << text;
    EXPECT_FALSE(reader.GetRoot().IsValid());
    return std::wstring(reader.GetLastErrorMessage()) + L"|" + reader.GetLastErrorLocation();
}

}  // namespace

TEST(CXmlReaderTest, WalksARealSkin)
{
    CXmlReader reader;
    ASSERT_TRUE(Load(reader, SkinFile("main_window.xml")));
    CXmlNode root = reader.GetRoot();
    EXPECT_EQ(6, root.GetAttributeCount());
    EXPECT_STREQ(L"size", root.GetAttributeName(0));
    EXPECT_STREQ(L"960,600", root.GetAttributeValue(0));
    EXPECT_STREQ(L"true", root.GetAttributeValue(L"showshadow"));
    EXPECT_EQ(nullptr, root.GetChild().GetAttributeValue(L"Name"));  // case-sensitive
    EXPECT_EQ(L"Window(Font Font Font Image Default Default VerticalLayout(HorizontalLayout(Label Control Button "
              L"Button) HorizontalLayout(VerticalLayout(WebBrowser) TabLayout(VerticalLayout(Include) "
              L"VerticalLayout(Text))) HorizontalLayout(Progress Label Option CheckBox Button)))",
              Shape(root));
    // The entities of a "Default" list are decoded.
    CXmlNode def = root.GetChild().GetSibling().GetSibling().GetSibling().GetSibling();
    EXPECT_STREQ(L"font=\"1\" textcolor=\"#FFFFFFFF\" hottextcolor=\"#FFEAEAEB\"", def.GetAttributeValue(L"value"));
}

TEST(CXmlReaderTest, EncodingsAndByteOrderMarks)
{
    const std::string skin = SkinFile("settings.xml");
    CXmlReader reader;
    ASSERT_TRUE(Load(reader, skin));
    const std::wstring expected = Shape(reader.GetRoot());
    ASSERT_FALSE(expected.empty());
    ASSERT_TRUE(Load(reader, "\xEF\xBB\xBF" + skin));
    EXPECT_EQ(expected, Shape(reader.GetRoot()));

    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (wchar_t ch : testutil::widen(skin)) {
        le += static_cast<char>(ch & 0xFF);
        le += static_cast<char>(ch >> 8);
        be += static_cast<char>(ch >> 8);
        be += static_cast<char>(ch & 0xFF);
    }
    ASSERT_TRUE(Load(reader, le, SkinUI::UIXML_ENCODING_UTF16));
    EXPECT_EQ(expected, Shape(reader.GetRoot()));
    ASSERT_TRUE(Load(reader, be, SkinUI::UIXML_ENCODING_UTF16));
    EXPECT_EQ(expected, Shape(reader.GetRoot()));
    EXPECT_FALSE(Load(reader, le.substr(2), SkinUI::UIXML_ENCODING_UTF16));  // no byte-order mark
    EXPECT_FALSE(reader.GetRoot().IsValid());

    ASSERT_TRUE(Load(reader, "<Label text=\"Caf\xC3\xA9 \xE4\xB8\xAD\"/>"));
    EXPECT_STREQ(L"Caf\x00E9 \x4E2D", reader.GetRoot().GetAttributeValue(L"text"));
    wchar_t decoded[8] = {0};
    MultiByteToWideChar(CP_ACP, 0, "Caf\xE9", 4, decoded, 8);
    ASSERT_TRUE(Load(reader, "<Label text=\"Caf\xE9\"/>", SkinUI::UIXML_ENCODING_ANSI));
    EXPECT_STREQ(decoded, reader.GetRoot().GetAttributeValue(L"text"));
}

TEST(CXmlReaderTest, EntitiesCommentsAndInstructions)
{
    CXmlReader reader;
    ASSERT_TRUE(Load(reader, "<?xml version=\"1.0\"?>\n<!-- a comment -- with - hyphens -->"
                             "<W a=\"&amp;rest\" b=\"&lt;&gt;&quot;&apos;\" c=\"&nbsp;&#65;&amp\" e=\"x &amp; y\">"
                             "<!-- between --><A/><?pi x?><B></B><!---></W>"));
    CXmlNode root = reader.GetRoot();
    EXPECT_STREQ(L"&rest", root.GetAttributeValue(L"a"));
    EXPECT_STREQ(L"<>\"'", root.GetAttributeValue(L"b"));
    EXPECT_STREQ(L"&nbsp;&#65;&amp", root.GetAttributeValue(L"c"));  // only the five named entities
    EXPECT_EQ(L"W(A B)", Shape(root));
    wchar_t small[4] = {0};
    EXPECT_TRUE(root.GetAttributeValue(L"e", small, 4));
    EXPECT_STREQ(L"x &", small);

    // Blanks around "=", tabs and line breaks between attributes.
    ASSERT_TRUE(Load(reader, "<W\r\n\ta = \"1\"\tb=\"2\"\n/>"));
    EXPECT_STREQ(L"2", reader.GetRoot().GetAttributeValue(L"b"));
}

TEST(CXmlReaderTest, UnclosedTopElementAndTopLevelSiblings)
{
    CXmlReader reader;
    ASSERT_TRUE(Load(reader, "<Window><VBox><Button/></VBox>"));
    EXPECT_EQ(L"Window(VBox(Button))", Shape(reader.GetRoot()));
    ASSERT_TRUE(Load(reader, "<Window><VBox>"));
    EXPECT_EQ(L"Window(VBox)", Shape(reader.GetRoot()));
    ASSERT_TRUE(Load(reader, "<A/><B><C/></B>\n<D></D>"));
    EXPECT_EQ(L"A B(C) D", Shape(reader.GetRoot()));
    ASSERT_TRUE(Load(reader, "<A/></Z>garbage"));  // a closing tag ends the top level
    EXPECT_EQ(L"A", Shape(reader.GetRoot()));
    ASSERT_TRUE(Load(reader, "  <!-- nothing -->  "));
    EXPECT_FALSE(reader.GetRoot().IsValid());
}

TEST(CXmlReaderTest, ErrorMessagesAndLocations)
{
    EXPECT_EQ(L"Expected start tag|hello <A/>", Error("hello <A/>"));
    EXPECT_EQ(L"Expected start tag|", Error("<Window><VBox><Button/>"));
    EXPECT_EQ(L"Error parsing element name|Button", Error("<Window><Button"));
    EXPECT_EQ(L"Error while parsing attributes|\"x\"/>", Error("<Window><Button name\"x\"/>"));
    EXPECT_EQ(L"Expected attribute value|'x'/>", Error("<Window><Button name='x'/>"));
    EXPECT_EQ(L"Error while parsing attribute string|x/>", Error("<Window><Button name=\"x/>"));
    EXPECT_EQ(L"Expected start-tag closing|/ >", Error("<Window><Button name=\"x\" / >"));
    EXPECT_EQ(L"Expected end-tag start|", Error("<Window><VBox><Button>text"));
    EXPECT_EQ(L"Unmatched closing tag|</HBox></Window>", Error("<Window><VBox></HBox></Window>"));
    // The location keeps at most 49 characters.
    EXPECT_EQ(L"Expected start tag|" + std::wstring(49, L'x'), Error("<W><A/>" + std::string(200, 'x')));

    // Short buffers are cut, never overrun; a successful load clears the error.
    CXmlReader reader;
    EXPECT_FALSE(Load(reader, "<A b='1'/>"));
    wchar_t cut[5];
    reader.GetLastErrorMessage(cut, 5);
    EXPECT_STREQ(L"Expe", cut);
    EXPECT_TRUE(Load(reader, "<A/>"));
    EXPECT_STREQ(L"", reader.GetLastErrorMessage());

    // A file name is looked up in the skin folder.
    SkinUI::CUiManager::SetResourcePath((testutil::exeDir() + L"skinui_data").c_str());
    ASSERT_TRUE(reader.LoadFromFile(L"news_item.xml"));
    EXPECT_STREQ(L"24", reader.GetRoot().GetAttributeValue(L"height"));
    EXPECT_FALSE(reader.LoadFromFile(L"no_such_skin.xml"));
    EXPECT_STREQ(L"Skin file not found", reader.GetLastErrorMessage());
    EXPECT_STREQ(L"no_such_skin.xml", reader.GetLastErrorLocation());
}

TEST(CXmlReaderTest, OnlyTheFirst64AttributesAreVisible)
{
    std::string text = "<Many";
    for (int i = 0; i < 65; ++i) {
        text += " a" + std::to_string(i) + "=\"v" + std::to_string(i) + "\"";
    }
    CXmlReader reader;
    ASSERT_TRUE(Load(reader, text + "/>"));
    EXPECT_EQ(64, reader.GetRoot().GetAttributeCount());
    EXPECT_STREQ(L"v63", reader.GetRoot().GetAttributeValue(L"a63"));
    EXPECT_EQ(nullptr, reader.GetRoot().GetAttributeValue(L"a64"));
}

TEST(CXmlReaderTest, ReloadingFromItsOwnTextAndDeepNesting)
{
    // Loading text that lives in the current document must not read freed memory.
    CXmlReader other(L"<Holder xml=\"&lt;Second a=&quot;1&quot;/&gt;\"/>");
    ASSERT_TRUE(other.LoadFromString(other.GetRoot().GetAttributeValue(L"xml")));
    EXPECT_STREQ(L"1", other.GetRoot().GetAttributeValue(L"a"));

    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "<a>";
    }
    CXmlReader reader;
    EXPECT_FALSE(Load(reader, text));
    EXPECT_STREQ(L"Expected end-tag start", reader.GetLastErrorMessage());
    for (int i = 0; i < 200000; ++i) {
        text += "</a>";
    }
    ASSERT_TRUE(Load(reader, text));
    int depth = 0;
    for (CXmlNode node = reader.GetRoot(); node.IsValid(); node = node.GetChild()) {
        ++depth;
    }
    EXPECT_EQ(200000, depth);
}
