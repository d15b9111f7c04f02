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

const char* const kSkins[] = {"main_window.xml", "news_item.xml", "settings.xml"};
const DWORD kBudgetMs = 60000;

// Lengths of every name and value read, so that no read is optimised away.
volatile size_t g_touched = 0;

struct Outcome {
    int trees = 0;
    int errors = 0;
};

// Visits every element and attribute; the count guards against cycles.
size_t WalkTree(CXmlNode root) {
    size_t visited = 0;
    size_t touched = 0;
    std::vector<CXmlNode> pending;
    pending.push_back(root);
    while (!pending.empty()) {
        CXmlNode node = pending.back();
        pending.pop_back();
        for (; node.IsValid(); node = node.GetSibling()) {
            if (++visited > 1000000) {
                ADD_FAILURE() << "tree walk does not end";
                return visited;
            }
            touched += wcslen(node.GetName());
            const int count = node.GetAttributeCount();
            EXPECT_LE(count, 64);
            for (int i = 0; i < count; ++i) {
                touched += wcslen(node.GetAttributeName(i)) + wcslen(node.GetAttributeValue(i));
                EXPECT_NE(nullptr, node.GetAttributeValue(node.GetAttributeName(i)));
            }
            if (node.HasChildren()) {
                pending.push_back(node.GetChild());
            }
        }
    }
    g_touched = g_touched + touched;
    return visited;
}

void Check(CXmlReader& reader, const std::string& bytes, int encoding, Outcome& outcome) {
    const bool loaded = reader.LoadFromMem(reinterpret_cast<const BYTE*>(bytes.data()),
                                           static_cast<DWORD>(bytes.size()), encoding);
    if (loaded) {
        ++outcome.trees;
        WalkTree(reader.GetRoot());
        return;
    }
    ++outcome.errors;
    EXPECT_NE(L'\0', reader.GetLastErrorMessage()[0]);
    EXPECT_FALSE(reader.GetRoot().IsValid());
}

}  // namespace

TEST(CXmlReaderMutationTest, DamagedSkinsGiveATreeOrAnError) {
    std::vector<std::string> skins;
    for (const char* name : kSkins) {
        skins.push_back(testutil::readFile(testutil::exeDir() + L"skinui_data\\" + testutil::widen(name)));
        ASSERT_GT(skins.back().size(), 100u) << name;
    }
    const DWORD start = GetTickCount();
    std::mt19937 random(20261208);
    const char stray[] = {'<', '>', '/', '"', '\'', '=', '&', ';', '!', '?', '-', ' ', '\0', '\xC3', '\xFF'};
    CXmlReader reader;
    Outcome outcome;
    int inputs = 0;

    for (const std::string& skin : skins) {
        // Every truncation, with and without a byte-order mark.
        for (size_t length = 0; length <= skin.size(); ++length) {
            Check(reader, skin.substr(0, length), SkinUI::UIXML_ENCODING_UTF8, outcome);
            Check(reader, "\xEF\xBB\xBF" + skin.substr(0, length), SkinUI::UIXML_ENCODING_UTF8, outcome);
            inputs += 2;
        }
        // UTF-16 truncations, odd byte counts included.
        std::string le = "\xFF\xFE";
        for (char ch : skin) {
            le += ch;
            le += '\0';
        }
        for (size_t length = 0; length <= le.size(); length += 7) {
            Check(reader, le.substr(0, length), SkinUI::UIXML_ENCODING_UTF16, outcome);
            ++inputs;
        }
    }

    for (int round = 0; round < 100000 && GetTickCount() - start < kBudgetMs; ++round) {
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
        Check(reader, bytes, round % 7 == 0 ? SkinUI::UIXML_ENCODING_ANSI : SkinUI::UIXML_ENCODING_UTF8, outcome);
        ++inputs;
    }

    const DWORD elapsed = GetTickCount() - start;
    printf("%d inputs in %lu ms: %d trees, %d errors\n", inputs, static_cast<unsigned long>(elapsed), outcome.trees,
           outcome.errors);
    EXPECT_EQ(inputs, outcome.trees + outcome.errors);
    EXPECT_GT(outcome.trees, 0);
    EXPECT_GT(outcome.errors, 0);
    EXPECT_GT(inputs, 20000);
}
