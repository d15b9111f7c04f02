// CMeasureDC: the device context controls measure their text in (DT_CALCRECT
// passes): the window's paint DC, or a memory DC of their own while the
// window has none (a manager without a window, a layout before the first
// paint).
#pragma once

#include <windows.h>

#include "foundation/log.h"
#include "foundation/scoped_gdi.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

class CMeasureDC {
public:
    // caller: the function named in the log line when no DC can be made.
    CMeasureDC(CUiManager* manager, const char* caller) : m_hDC(manager != nullptr ? manager->GetPaintDC() : nullptr)
    {
        if (m_hDC != nullptr) {
            return;
        }
        m_owned.reset(::CreateCompatibleDC(nullptr));
        m_hDC = m_owned.get();
        if (m_hDC == nullptr) {
            common::log(caller, __LINE__, L"CreateCompatibleDC failed lastError = %d",
                        static_cast<int>(::GetLastError()));
        }
    }
    CMeasureDC(const CMeasureDC&) = delete;
    CMeasureDC& operator=(const CMeasureDC&) = delete;
    // Null when no DC could be made.
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
    utility::ScopedMemoryDC m_owned;  // the DC made here, when the window has none
};

}  // namespace SkinUI
