#include "skinui/controls/control_elements.h"

#include "skinui/controls/activex_ui.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/rich_edit_ui.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/controls/web_browser_ui.h"
#include "skinui/core/skin_builder.h"

namespace SkinUI {

namespace {

CControlUI* CreateContainerUI() { return new CContainerUI; }
CControlUI* CreateScrollBarUI() { return new CScrollBarUI; }
CControlUI* CreateRichEditUI() { return new CRichEditUI; }
CControlUI* CreateActiveXUI() { return new CActiveXUI; }
CControlUI* CreateWebBrowserUI() { return new CWebBrowserUI; }

struct ElementFactory {
    const wchar_t* name;
    UiControlFactory factory;
};

// One line per element name; names are case-sensitive.
const ElementFactory kElements[] = {
    {L"Container", &CreateContainerUI},
    {L"ScrollBar", &CreateScrollBarUI},
    {L"RichEdit", &CreateRichEditUI},
    {L"ActiveX", &CreateActiveXUI},
    {L"WebBrowser", &CreateWebBrowserUI},
};

}  // namespace

void RegisterControlElements()
{
    for (const ElementFactory& element : kElements) {
        CSkinBuilder::RegisterElement(element.name, element.factory);
    }
}

}  // namespace SkinUI
