#include <gtest/gtest.h>

#include "common/test_util.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/xml_reader.h"

using SkinUI::CXmlReader;

TEST(CXmlReaderFileTest, LoadsSkinFilesFromTheSkinFolder) {
    SkinUI::CUiManager::SetResourcePath((testutil::exeDir() + L"skinui_data").c_str());
    CXmlReader reader;
    ASSERT_TRUE(reader.LoadFromFile(L"news_item.xml"));
    EXPECT_STREQ(L"HorizontalLayout", reader.GetRoot().GetName());
    EXPECT_STREQ(L"24", reader.GetRoot().GetAttributeValue(L"height"));

    EXPECT_FALSE(reader.LoadFromFile(L"no_such_skin.xml"));
    EXPECT_FALSE(reader.GetRoot().IsValid());
    EXPECT_STREQ(L"Skin file not found", reader.GetLastErrorMessage());
    EXPECT_STREQ(L"no_such_skin.xml", reader.GetLastErrorLocation());
}
