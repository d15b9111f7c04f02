// Feeds the reader thousands of damaged skin files: truncations, flipped
// bytes, cut-out ranges and stray markup. Every input must give either a
// walkable tree or an error message, and never crash.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "skinui/core/xml_reader.h"

using SkinUI::CXmlNode;
using SkinUI::CXmlReader;

namespace {

// Lengths of every name and value read, so that no read is optimised away.
volatile size_t g_touched = 0;

// Visits every element and attribute; the count guards against cycles.
void WalkTree(CXmlNode root)
{
    size_t visited = 0, touched = 0;
    std::vector<CXmlNode> pending(1, root);
    while (!pending.empty()) {
        CXmlNode node = pending.back();
        pending.pop_back();
        for (; node.IsValid(); node = node.GetSibling()) {
            ASSERT_LT(++visited, 1000000u) << "tree walk does not end";
            touched += wcslen(node.GetName());
            ASSERT_LE(node.GetAttributeCount(), 64);
            for (int i = 0; i < node.GetAttributeCount(); ++i) {
                touched += wcslen(node.GetAttributeName(i)) + wcslen(node.GetAttributeValue(i));
                EXPECT_NE(nullptr, node.GetAttributeValue(node.GetAttributeName(i)));
            }
            if (node.HasChildren())
                pending.push_back(node.GetChild());
        }
    }
    g_touched = g_touched + touched;
}

// Returns whether the input gave a tree.
bool Check(CXmlReader& reader, const std::string& bytes, int encoding)
{
    if (reader.LoadFromMem(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), encoding)) {
        WalkTree(reader.GetRoot());
        return true;
    }
    EXPECT_NE(L'\0', reader.GetLastErrorMessage()[0]);
    EXPECT_FALSE(reader.GetRoot().IsValid());
    return false;
}

}  // namespace

TEST(CXmlReaderMutationTest, DamagedSkinsGiveATreeOrAnError)
{
    std::vector<std::string> skins;
    for (const char* name : {"main_window.xml", "news_item.xml", "settings.xml"}) {
        skins.push_back(testutil::readFile(testutil::exeDir() + L"skinui_data\\" + testutil::widen(name)));
        ASSERT_GT(skins.back().size(), 100u) << name;
    }
    const DWORD start = GetTickCount();
    std::mt19937 random(20261208);
    const char stray[] = {'<', '>', '/', '"', '\'', '=', '&', ';', '!', '?', '-', ' ', '\0', '\xC3', '\xFF'};
    CXmlReader reader;
    int inputs = 0, trees = 0;

    for (const std::string& skin : skins) {
        // Every truncation, with and without a byte-order mark, and UTF-16 ones (odd byte counts too).
        std::string le = "\xFF\xFE";
        for (size_t length = 0; length <= skin.size(); ++length) {
            trees += Check(reader, skin.substr(0, length), SkinUI::UIXML_ENCODING_UTF8);
            trees += Check(reader, "\xEF\xBB\xBF" + skin.substr(0, length), SkinUI::UIXML_ENCODING_UTF8);
            inputs += 2;
            if (length < skin.size())
                le += std::string(1, skin[length]) + '\0';
        }
        for (size_t length = 0; length <= le.size(); length += 7, ++inputs) {
            trees += Check(reader, le.substr(0, length), SkinUI::UIXML_ENCODING_UTF16);
        }
    }

    for (int round = 0; round < 100000 && GetTickCount() - start < 60000; ++round, ++inputs) {
        std::string bytes = skins[round % skins.size()];
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            const size_t at = random() % bytes.size();
            switch (random() % 4) {
            case 0:  // flip a bit
                bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
                break;
            case 1:  // cut out a range
                bytes.erase(at, random() % 64);
                break;
            case 2:  // overwrite with stray markup
                bytes[at] = stray[random() % sizeof(stray)];
                break;
            default:  // insert stray markup
                bytes.insert(at, 1, stray[random() % sizeof(stray)]);
                break;
            }
        }
        trees += Check(reader, bytes, round % 7 == 0 ? SkinUI::UIXML_ENCODING_ANSI : SkinUI::UIXML_ENCODING_UTF8);
    }
    printf("%d inputs in %lu ms: %d trees\n", inputs, static_cast<unsigned long>(GetTickCount() - start), trees);
    EXPECT_GT(trees, 0);
    EXPECT_LT(trees, inputs);
    EXPECT_GT(inputs, 20000);
}
