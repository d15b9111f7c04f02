#include "skinui/controls/control_elements.h"

#include "skinui/controls/activex_ui.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/child_layout_ui.h"
#include "skinui/controls/combo_ui.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/date_time_ui.h"
#include "skinui/controls/edit_ui.h"
#include "skinui/controls/gif_anim_ui.h"
#include "skinui/controls/horizontal_layout_ui.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/list_container_element_ui.h"
#include "skinui/controls/list_element_ui.h"
#include "skinui/controls/list_header_ui.h"
#include "skinui/controls/list_ui.h"
#include "skinui/controls/option_ui.h"
#include "skinui/controls/progress_ui.h"
#include "skinui/controls/rich_edit_ui.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/controls/slider_ui.h"
#include "skinui/controls/tab_layout_ui.h"
#include "skinui/controls/text_ui.h"
#include "skinui/controls/tile_layout_ui.h"
#include "skinui/controls/trans_bk_container_ui.h"
#include "skinui/controls/tree_node_ui.h"
#include "skinui/controls/tree_view_ui.h"
#include "skinui/controls/vertical_layout_ui.h"
#include "skinui/controls/web_browser_ui.h"
#include "skinui/core/skin_builder.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

template <typename Control>
CControlUI* Create()
{
    return new Control;
}

struct ElementFactory {
    const wchar_t* name;
    UiControlFactory factory;
};

// One line per element name; names are case-sensitive.
const ElementFactory kElements[] = {
    {L"Container", &Create<CContainerUI>},
    {L"VerticalLayout", &Create<CVerticalLayoutUI>},
    {L"VBox", &Create<CVerticalLayoutUI>},
    {L"HorizontalLayout", &Create<CHorizontalLayoutUI>},
    {L"HBox", &Create<CHorizontalLayoutUI>},
    {L"TileLayout", &Create<CTileLayoutUI>},
    {L"ChildLayout", &Create<CChildLayoutUI>},
    {L"TabLayout", &Create<CTabLayoutUI>},
    {L"Label", &Create<CLabelUI>},
    {L"Button", &Create<CButtonUI>},
    {L"Option", &Create<COptionUI>},
    {L"CheckBox", &Create<CCheckBoxUI>},
    {L"Progress", &Create<CProgressUI>},
    {L"Edit", &Create<CEditUI>},
    {L"DateTime", &Create<CDateTimeUI>},
    {L"ScrollBar", &Create<CScrollBarUI>},
    {L"RichEdit", &Create<CRichEditUI>},
    {L"ActiveX", &Create<CActiveXUI>},
    {L"WebBrowser", &Create<CWebBrowserUI>},
    {L"List", &Create<CListUI>},
    {L"ListHeader", &Create<CListHeaderUI>},
    {L"ListHeaderItem", &Create<CListHeaderItemUI>},
    {L"ListTextElement", &Create<CListTextElementUI>},
    {L"ListLabelElement", &Create<CListLabelElementUI>},
    {L"ListHBoxElement", &Create<CListHBoxElementUI>},
    {L"ListContainerElement", &Create<CListContainerElementUI>},
    {L"Combo", &Create<CComboUI>},
    {L"ComboBox", &Create<CComboUI>},
    {L"Tree", &Create<CTreeViewUI>},
    {L"TreeView", &Create<CTreeViewUI>},
    {L"TreeNode", &Create<CTreeNodeUI>},
    {L"Text", &Create<CTextUI>},
    {L"Slider", &Create<CSliderUI>},
    {L"GifAnim", &Create<CGifAnimUI>},
    {L"TransBkContainer", &Create<CTransBkContainerUI>},
};

}  // namespace

void RegisterControlElements()
{
    for (const ElementFactory& element : kElements) {
        CSkinBuilder::RegisterElement(element.name, element.factory);
    }
}

void SetUpProgramSkin(HINSTANCE instance, const std::wstring& locale)
{
    CUiManager::SetInstance(instance);
    RegisterControlElements();
    CUiManager::SetLanguage(locale.c_str(), L"en_US");
    CUiString skinFolder = CUiManager::GetInstancePath();
    skinFolder += L"skin";
    CUiManager::SetResourcePath(skinFolder);
    CUiManager::LoadZipResource(129, L"multi_language.tsv");
}

}  // namespace SkinUI
