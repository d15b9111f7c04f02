// CDateTimeUI: a label that shows a date as "yyyy-mm-dd" and, while it has the
// focus, lays a native date-time picker of the common controls (CDateTimeWnd,
// a superclass of "SysDateTimePick32") over itself. When the picker loses the
// focus the chosen date is copied back and the text rebuilt; Delete or
// Backspace empties the text, Escape keeps the old date.
#pragma once

#include <windows.h>

#include "skinui/controls/label_ui.h"

namespace SkinUI {

class CDateTimeWnd;

class CDateTimeUI : public CLabelUI {
public:
    // How the picker closed: what UpdateText does with the text.
    enum UpdateFlag { DT_NONE = 0, DT_UPDATE = 1, DT_DELETE = 2, DT_KEEP = 3 };

    // Shows today's date.
    CDateTimeUI();
    // An open picker is closed first and forgets its owner.
    ~CDateTimeUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    HWND GetNativeWindow() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void DoEvent(UiEvent& event) override;

    const SYSTEMTIME& GetTime() const { return m_sysTime; }
    void SetTime(const SYSTEMTIME& time) { m_sysTime = time; }
    bool IsReadOnly() const { return m_bReadOnly; }
    // DT_UPDATE: the date as text; DT_DELETE: no text; others: unchanged.
    void UpdateText();

private:
    friend class CDateTimeWnd;

    // Makes the picker (when there is none), gives it the date and the focus.
    void OpenNativeWindow();

    SYSTEMTIME m_sysTime;
    int m_nDTUpdateFlag;
    bool m_bReadOnly;
    CDateTimeWnd* m_pWindow;  // deletes itself when its window goes
};

}  // namespace SkinUI
