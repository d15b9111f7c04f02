// The buttons of a message box: a skinned button that carries its
// SelectionInfo (caption and callback). CSelectionUI has the installer's and
// launcher's look ("zul\" images), CSelectionUIRemote the look of the remote
// pages ("remote\" images). Both answer GetInterface("Selection").
#pragma once

#include "msg/message_box.h"
#include "skinui/controls/button_ui.h"

namespace msg {

class CSelectionUI : public SkinUI::CButtonUI {
public:
    // The sizes, images and colours of one look.
    struct Look {
        const wchar_t* height;
        int minWidthEx;
        int minWidth;
        const wchar_t* images[2][3];  // [primary, secondary][normal, hot, pushed]
        DWORD textColor[2];           // [primary, secondary]
    };

    explicit CSelectionUI(SelectionInfo info);

    LPVOID GetInterface(const wchar_t* name) override;
    const SelectionInfo& GetInfo() const { return m_info; }

protected:
    CSelectionUI(SelectionInfo info, const Look& look);

private:
    SelectionInfo m_info;
};

class CSelectionUIRemote : public CSelectionUI {
public:
    explicit CSelectionUIRemote(SelectionInfo info);
};

}  // namespace msg
