#include "msg/selection_ui.h"

#include <utility>

namespace msg {

namespace {

// The descriptions are used as written, doubled blanks included.
const CSelectionUI::Look kLocalLook = {
    L"31",
    140,
    140,
    {{L"file='zul\\btn31_normal.png' corner='30,10,30,10'", L"file='zul\\btn31_hot.png'  corner='30,10,30,10'",
      L"file='zul\\btn31_pushed.png'  corner='30,10,30,10'"},
     {L"file='zul\\cancel_normal.png'  corner='30,10,30,10'", L"file='zul\\cancel_hot.png'  corner='30,10,30,10'",
      L"file='zul\\cancel_pushed.png'  corner='30,10,30,10'"}},
    {0xFFFFFFFF, 0xFFE88DA3},
};

const CSelectionUI::Look kRemoteLook = {
    L"30",
    100,
    90,
    {{L"file='remote\\btn_32.png' source='16,0,32,32' corner='6,6,6,6'",
      L"file='remote\\btn_32.png' source='32,0,48,32' corner='6,6,6,6'",
      L"file='remote\\btn_32.png' source='48,0,64,32' corner='6,6,6,6'"},
     {L"file='remote\\btn_cancel.png' source='0,0,20,28' corner='6,6,6,6'",
      L"file='remote\\btn_cancel.png' source='20,0,40,28' corner='6,6,6,6'",
      L"file='remote\\btn_cancel.png' source='40,0,60,28' corner='6,6,6,6'"}},
    {0xFFFFFFFF, 0xFF17171A},
};

}  // namespace

CSelectionUI::CSelectionUI(SelectionInfo info) : CSelectionUI(std::move(info), kLocalLook) {}

CSelectionUI::CSelectionUI(SelectionInfo info, const Look& look) : m_info(std::move(info))
{
    SetText(m_info.text);
    SetAttribute(L"height", look.height);
    SetAttribute(L"valign", L"vcenter");
    SetTextPadding(RECT{20, 0, 20, 0});
    SetPadding(RECT{10, 0, 10, 0});
    SetAttribute(L"showcursor", L"true");
    SetMinWidthEx(look.minWidthEx);
    SetFont(1);
    SetMinWidth(look.minWidth);
    SetShowHtml(true);
    const int kind = m_info.primary ? 0 : 1;
    SetNormalImage(look.images[kind][0]);
    SetHotImage(look.images[kind][1]);
    SetPushedImage(look.images[kind][2]);
    SetTextColor(look.textColor[kind]);
}

LPVOID CSelectionUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Selection") == 0) {
        return static_cast<CSelectionUI*>(this);
    }
    return CButtonUI::GetInterface(name);
}

CSelectionUIRemote::CSelectionUIRemote(SelectionInfo info) : CSelectionUI(std::move(info), kRemoteLook) {}

}  // namespace msg
