#include <gtest/gtest.h>

#include <string>

#include "common/test_util.h"
#include "skinui/core/xml_reader.h"

using SkinUI::CXmlNode;
using SkinUI::CXmlReader;

namespace {

bool LoadUtf8(CXmlReader& reader, const std::string& text) {
    return reader.LoadFromMem(reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()),
                              SkinUI::UIXML_ENCODING_UTF8);
}

std::string SkinFile(const char* name) {
    return testutil::readFile(testutil::exeDir() + L"skinui_data\\" + testutil::widen(name));
}

// "name(child child ...)" for the whole tree below node, siblings included.
std::wstring Shape(CXmlNode node) {
    std::wstring out;
    for (; node.IsValid(); node = node.GetSibling()) {
        if (!out.empty()) {
            out += L' ';
        }
        out += node.GetName();
        if (node.HasChildren()) {
            out += L'(' + Shape(node.GetChild()) + L')';
        }
    }
    return out;
}

struct ParseError {
    std::wstring message;
    std::wstring location;
};

ParseError FailedParse(const std::string& text) {
    CXmlReader reader;
    EXPECT_FALSE(LoadUtf8(reader, text)) << text;
    EXPECT_FALSE(reader.GetRoot().IsValid());
    wchar_t message[100] = {0};
    wchar_t location[50] = {0};
    reader.GetLastErrorMessage(message, 100);
    reader.GetLastErrorLocation(location, 50);
    return ParseError{message, location};
}

}  // namespace

TEST(CXmlReaderTest, WalksARealSkin) {
    CXmlReader reader;
    ASSERT_TRUE(LoadUtf8(reader, SkinFile("main_window.xml")));
    CXmlNode root = reader.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_STREQ(L"Window", root.GetName());
    EXPECT_EQ(6, root.GetAttributeCount());
    EXPECT_STREQ(L"size", root.GetAttributeName(0));
    EXPECT_STREQ(L"960,600", root.GetAttributeValue(0));
    EXPECT_STREQ(L"true", root.GetAttributeValue(L"showshadow"));
    EXPECT_FALSE(root.GetSibling().IsValid());

    CXmlNode child = root.GetChild();
    EXPECT_STREQ(L"Font", child.GetName());
    EXPECT_STREQ(L"Microsoft YaHei", child.GetAttributeValue(L"name"));
    EXPECT_EQ(nullptr, child.GetAttributeValue(L"Name"));  // case-sensitive

    // The entities of a "Default" list are decoded.
    CXmlNode def = child.GetSibling().GetSibling().GetSibling().GetSibling();
    EXPECT_STREQ(L"Default", def.GetName());
    EXPECT_STREQ(L"font=\"1\" textcolor=\"#FFFFFFFF\" hottextcolor=\"#FFEAEAEB\"", def.GetAttributeValue(L"value"));
    EXPECT_STREQ(L"Button", def.GetAttributeValue(L"name"));

    EXPECT_EQ(L"Window(Font Font Font Image Default Default VerticalLayout(HorizontalLayout(Label Control Button "
              L"Button) HorizontalLayout(VerticalLayout(WebBrowser) TabLayout(VerticalLayout(Include) "
              L"VerticalLayout(Text))) HorizontalLayout(Progress Label Option CheckBox Button)))",
              Shape(root));
}

TEST(CXmlReaderTest, EncodingsAndByteOrderMarks) {
    const std::string skin = SkinFile("settings.xml");
    CXmlReader plain;
    ASSERT_TRUE(LoadUtf8(plain, skin));
    const std::wstring expected = Shape(plain.GetRoot());
    ASSERT_FALSE(expected.empty());

    CXmlReader bom;
    ASSERT_TRUE(LoadUtf8(bom, "\xEF\xBB\xBF" + skin));
    EXPECT_EQ(expected, Shape(bom.GetRoot()));

    const std::wstring wide = testutil::widen(skin);
    std::string le = "\xFF\xFE";
    std::string be = "\xFE\xFF";
    for (wchar_t ch : wide) {
        le += static_cast<char>(ch & 0xFF);
        le += static_cast<char>(ch >> 8);
        be += static_cast<char>(ch >> 8);
        be += static_cast<char>(ch & 0xFF);
    }
    CXmlReader reader;
    ASSERT_TRUE(reader.LoadFromMem(reinterpret_cast<const BYTE*>(le.data()), static_cast<DWORD>(le.size()),
                                   SkinUI::UIXML_ENCODING_UTF16));
    EXPECT_EQ(expected, Shape(reader.GetRoot()));
    ASSERT_TRUE(reader.LoadFromMem(reinterpret_cast<const BYTE*>(be.data()), static_cast<DWORD>(be.size()),
                                   SkinUI::UIXML_ENCODING_UTF16));
    EXPECT_EQ(expected, Shape(reader.GetRoot()));
    // UTF-16 without a byte-order mark leaves no document.
    EXPECT_FALSE(reader.LoadFromMem(reinterpret_cast<const BYTE*>(le.data()) + 2,
                                    static_cast<DWORD>(le.size() - 2), SkinUI::UIXML_ENCODING_UTF16));
    EXPECT_FALSE(reader.GetRoot().IsValid());

    // Non-ASCII text: UTF-8 and the ANSI code page.
    const std::string utf8 = "<Label text=\"Caf\xC3\xA9 \xE4\xB8\xAD\"/>";
    ASSERT_TRUE(LoadUtf8(reader, utf8));
    EXPECT_STREQ(L"Caf\x00E9 \x4E2D", reader.GetRoot().GetAttributeValue(L"text"));
    const std::string ansi = "<Label text=\"Caf\xE9\"/>";
    wchar_t decoded[8] = {0};
    MultiByteToWideChar(CP_ACP, 0, "Caf\xE9", 4, decoded, 8);
    ASSERT_TRUE(reader.LoadFromMem(reinterpret_cast<const BYTE*>(ansi.data()), static_cast<DWORD>(ansi.size()),
                                   SkinUI::UIXML_ENCODING_ANSI));
    EXPECT_STREQ(decoded, reader.GetRoot().GetAttributeValue(L"text"));

    ASSERT_TRUE(reader.LoadFromString(L"<A x=\"1\"/>"));
    EXPECT_STREQ(L"A", reader.GetRoot().GetName());
}

TEST(CXmlReaderTest, EntitiesCommentsAndInstructions) {
    CXmlReader reader;
    ASSERT_TRUE(LoadUtf8(reader,
                         "<?xml version=\"1.0\"?>\n<!-- a comment -- with - hyphens -->"
                         "<W a=\"&amp;rest\" b=\"&lt;&gt;&quot;&apos;\" c=\"&nbsp;&#65;&amp\" d=\"\" e=\"x &amp; y\">"
                         "<!-- between --><A/><?pi x?><B></B><!---></W>"));
    CXmlNode root = reader.GetRoot();
    EXPECT_STREQ(L"&rest", root.GetAttributeValue(L"a"));
    EXPECT_STREQ(L"<>\"'", root.GetAttributeValue(L"b"));
    EXPECT_STREQ(L"&nbsp;&#65;&amp", root.GetAttributeValue(L"c"));  // only the five named entities
    EXPECT_STREQ(L"", root.GetAttributeValue(L"d"));
    EXPECT_STREQ(L"x & y", root.GetAttributeValue(L"e"));
    EXPECT_EQ(5, root.GetAttributeCount());
    EXPECT_EQ(L"W(A B)", Shape(root));

    wchar_t small[4] = {0};
    EXPECT_TRUE(root.GetAttributeValue(L"e", small, 4));
    EXPECT_STREQ(L"x &", small);
    EXPECT_FALSE(root.GetAttributeValue(L"zz", small, 4));
    EXPECT_STREQ(L"", root.GetAttributeName(5));
    EXPECT_STREQ(L"", root.GetAttributeValue(-1));

    // Blanks around "=", tabs and line breaks between attributes.
    ASSERT_TRUE(LoadUtf8(reader, "<W\r\n\ta = \"1\"\tb=\"2\"\n/>"));
    EXPECT_STREQ(L"a", reader.GetRoot().GetAttributeName(0));
    EXPECT_STREQ(L"2", reader.GetRoot().GetAttributeValue(L"b"));
    EXPECT_FALSE(reader.GetRoot().HasChildren());
}

TEST(CXmlReaderTest, UnclosedTopElementAndTopLevelSiblings) {
    CXmlReader reader;
    ASSERT_TRUE(LoadUtf8(reader, "<Window><VBox><Button/></VBox>"));
    EXPECT_EQ(L"Window(VBox(Button))", Shape(reader.GetRoot()));
    ASSERT_TRUE(LoadUtf8(reader, "<Window text=\"x\">"));
    EXPECT_EQ(L"Window", Shape(reader.GetRoot()));
    ASSERT_TRUE(LoadUtf8(reader, "<Window><VBox>"));
    EXPECT_EQ(L"Window(VBox)", Shape(reader.GetRoot()));
    ASSERT_TRUE(LoadUtf8(reader, "<A/><B><C/></B>\n<D></D>"));
    EXPECT_EQ(L"A B(C) D", Shape(reader.GetRoot()));
    ASSERT_TRUE(LoadUtf8(reader, "<A/></Z>garbage"));  // a closing tag ends the top level
    EXPECT_EQ(L"A", Shape(reader.GetRoot()));
    ASSERT_TRUE(LoadUtf8(reader, "  <!-- nothing -->  "));
    EXPECT_FALSE(reader.GetRoot().IsValid());
    ASSERT_TRUE(LoadUtf8(reader, ""));
    EXPECT_FALSE(reader.GetRoot().IsValid());
}

TEST(CXmlReaderTest, ErrorMessagesAndLocations) {
    ParseError e = FailedParse("hello <A/>");
    EXPECT_EQ(L"Expected start tag", e.message);
    EXPECT_EQ(L"hello <A/>", e.location);

    e = FailedParse("<Window><VBox><Button/>");
    EXPECT_EQ(L"Expected start tag", e.message);
    EXPECT_EQ(L"", e.location);

    e = FailedParse("<Window><Button");
    EXPECT_EQ(L"Error parsing element name", e.message);

    e = FailedParse("<Window><Button name\"x\"/>");
    EXPECT_EQ(L"Error while parsing attributes", e.message);
    EXPECT_EQ(L"\"x\"/>", e.location);

    e = FailedParse("<Window><Button name='x'/>");
    EXPECT_EQ(L"Expected attribute value", e.message);
    EXPECT_EQ(L"'x'/>", e.location);

    e = FailedParse("<Window><Button name=\"x/>");
    EXPECT_EQ(L"Error while parsing attribute string", e.message);
    EXPECT_EQ(L"x/>", e.location);

    e = FailedParse("<Window><Button name=\"x\" / >");
    EXPECT_EQ(L"Expected start-tag closing", e.message);
    EXPECT_EQ(L"/ >", e.location);
    e = FailedParse("<Window><Button name=\"x\"?>");
    EXPECT_EQ(L"Error while parsing attributes", e.message);  // "?" starts another attribute name

    e = FailedParse("<Window><VBox><Button>text");
    EXPECT_EQ(L"Expected end-tag start", e.message);

    e = FailedParse("<Window><VBox></HBox></Window>");
    EXPECT_EQ(L"Unmatched closing tag", e.message);
    EXPECT_EQ(L"</HBox></Window>", e.location);
    e = FailedParse("<Window><VBox></VBoxes></Window>");
    EXPECT_EQ(L"Unmatched closing tag", e.message);

    // The location keeps at most 49 characters.
    e = FailedParse("<W><A/>" + std::string(200, 'x'));
    EXPECT_EQ(L"Expected start tag", e.message);
    EXPECT_EQ(std::wstring(49, L'x'), e.location);

    // Short buffers are cut, never overrun.
    CXmlReader reader;
    EXPECT_FALSE(LoadUtf8(reader, "<A b='1'/>"));
    wchar_t cut[5];
    reader.GetLastErrorMessage(cut, 5);
    EXPECT_STREQ(L"Expe", cut);
    EXPECT_STREQ(L"Expected attribute value", reader.GetLastErrorMessage());
    // A successful load afterwards clears the previous error.
    EXPECT_TRUE(LoadUtf8(reader, "<A/>"));
    EXPECT_STREQ(L"", reader.GetLastErrorMessage());
}

TEST(CXmlReaderTest, OnlyTheFirst64AttributesAreVisible) {
    std::string text = "<Many";
    for (int i = 0; i < 65; ++i) {
        text += " a" + std::to_string(i) + "=\"v" + std::to_string(i) + "\"";
    }
    text += "/>";
    CXmlReader reader;
    ASSERT_TRUE(LoadUtf8(reader, text));
    CXmlNode node = reader.GetRoot();
    EXPECT_EQ(64, node.GetAttributeCount());
    EXPECT_STREQ(L"v63", node.GetAttributeValue(L"a63"));
    EXPECT_STREQ(L"a63", node.GetAttributeName(63));
    EXPECT_EQ(nullptr, node.GetAttributeValue(L"a64"));
}

TEST(CXmlReaderTest, ReloadReplacesTheDocument) {
    CXmlReader reader(L"<First/>");
    EXPECT_STREQ(L"First", reader.GetRoot().GetName());
    // Loading text that lives in the current document must not read freed memory.
    CXmlReader other(L"<Holder xml=\"&lt;Second a=&quot;1&quot;/&gt;\"/>");
    ASSERT_TRUE(other.LoadFromString(other.GetRoot().GetAttributeValue(L"xml")));
    EXPECT_STREQ(L"Second", other.GetRoot().GetName());
    EXPECT_STREQ(L"1", other.GetRoot().GetAttributeValue(L"a"));

    EXPECT_FALSE(reader.LoadFromString(L"<Broken"));
    EXPECT_FALSE(reader.GetRoot().IsValid());
    CXmlNode none;
    EXPECT_FALSE(none.IsValid());
    EXPECT_STREQ(L"", none.GetName());
    EXPECT_EQ(0, none.GetAttributeCount());
    EXPECT_FALSE(none.GetChild().IsValid());
}

TEST(CXmlReaderTest, DeepNestingNeedsNoStack) {
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "<a>";
    }
    CXmlReader reader;
    EXPECT_FALSE(LoadUtf8(reader, text));
    EXPECT_STREQ(L"Expected end-tag start", reader.GetLastErrorMessage());
    for (int i = 0; i < 200000; ++i) {
        text += "</a>";
    }
    ASSERT_TRUE(LoadUtf8(reader, text));
    int depth = 0;
    for (CXmlNode node = reader.GetRoot(); node.IsValid(); node = node.GetChild()) {
        ++depth;
    }
    EXPECT_EQ(200000, depth);
}
