#include "skinui/controls/trans_bk_container_ui.h"

#include "foundation/log.h"

namespace SkinUI {

CTransBkContainerUI::CTransBkContainerUI() = default;

const wchar_t* CTransBkContainerUI::GetClass() const { return L"TransBkContainer"; }

LPVOID CTransBkContainerUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TransBkContainer") == 0) {
        return static_cast<CTransBkContainerUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

void CTransBkContainerUI::SetCachedBackground(HDC memoryDC, HBITMAP bitmap)
{
    if (memoryDC == m_memDC.get() && bitmap == m_bitmap.get()) {
        return;
    }
    // Only what is replaced goes, the context first: the caller may keep the
    // context and hand over a new bitmap, or the reverse.
    if (memoryDC != m_memDC.get()) {
        m_memDC.reset(memoryDC);
    }
    if (bitmap != m_bitmap.get()) {
        HBITMAP old = m_bitmap.release();
        if (old != nullptr && !::DeleteObject(old)) {
            common::log("CTransBkContainerUI::SetCachedBackground", __LINE__,
                        L"old bitmap not freed (still selected?) lastError = %d", static_cast<int>(::GetLastError()));
        }
        m_bitmap.reset(bitmap);
    }
    Invalidate();
}

void CTransBkContainerUI::PaintBkImage(HDC hDC)
{
    if (!m_memDC.valid()) {
        return;
    }
    RECT rc;
    if (!::IntersectRect(&rc, &m_rcPaint, &m_rcItem)) {
        return;
    }
    if (!::BitBlt(hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_memDC.get(), rc.left - m_rcItem.left,
                  rc.top - m_rcItem.top, SRCCOPY)) {
        common::log("CTransBkContainerUI::PaintBkImage", __LINE__, L"BitBlt failed lastError = %d",
                    static_cast<int>(::GetLastError()));
    }
}

}  // namespace SkinUI
