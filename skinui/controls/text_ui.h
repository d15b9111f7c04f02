// CTextUI ("Text"): a label for longer, wrapped text. With mark-up text on
// ("showhtml") the links the drawing finds (up to kMaxLinks) become
// clickable: the hand cursor over them, a repaint when the pointer moves
// from one to another, and "link" with the link's index when one is clicked.
// Plain text has no links.
#pragma once

#include <windows.h>

#include "skinui/controls/label_ui.h"

namespace SkinUI {

class CTextUI : public CLabelUI {
public:
    enum { kMaxLinks = 8 };

    CTextUI();
    ~CTextUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void DoEvent(UiEvent& event) override;
    void PaintText(HDC hDC) override;

    // The links of the last paint (window coordinates).
    int GetLinkCount() const { return m_nLinks; }
    RECT GetLinkRect(int index) const;
    const CUiString* GetLinkContent(int index) const;

private:
    // The index of the link under the point, -1 for none.
    int LinkAt(POINT pt) const;

    int m_nLinks;
    RECT m_rcLinks[kMaxLinks];
    CUiString m_sLinks[kMaxLinks];
    int m_nHoverLink;
};

}  // namespace SkinUI
