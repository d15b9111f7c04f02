#include "skinui/controls/trans_bk_container_ui.h"

#include "foundation/log.h"

namespace SkinUI {

CTransBkContainerUI::CTransBkContainerUI() : m_hMemDC(nullptr), m_hBitmap(nullptr) {}

CTransBkContainerUI::~CTransBkContainerUI() { FreeCache(); }

const wchar_t* CTransBkContainerUI::GetClass() const { return L"TransBkContainer"; }

LPVOID CTransBkContainerUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TransBkContainer") == 0) {
        return static_cast<CTransBkContainerUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

void CTransBkContainerUI::FreeCache()
{
    // The context goes first: a bitmap still selected into a context is not
    // deleted and would leak.
    if (m_hMemDC != nullptr) {
        ::DeleteDC(m_hMemDC);
        m_hMemDC = nullptr;
    }
    if (m_hBitmap != nullptr) {
        ::DeleteObject(m_hBitmap);
        m_hBitmap = nullptr;
    }
}

void CTransBkContainerUI::SetCachedBackground(HDC memoryDC, HBITMAP bitmap)
{
    if (memoryDC == m_hMemDC && bitmap == m_hBitmap) {
        return;
    }
    // Only what is replaced goes (the context first, as in FreeCache): the
    // caller may keep the context and hand over a new bitmap, or the reverse.
    if (m_hMemDC != nullptr && m_hMemDC != memoryDC) {
        ::DeleteDC(m_hMemDC);
    }
    if (m_hBitmap != nullptr && m_hBitmap != bitmap && !::DeleteObject(m_hBitmap)) {
        common::log("CTransBkContainerUI::SetCachedBackground", __LINE__,
                    L"old bitmap not freed (still selected?) lastError = %d", static_cast<int>(::GetLastError()));
    }
    m_hMemDC = memoryDC;
    m_hBitmap = bitmap;
    Invalidate();
}

void CTransBkContainerUI::PaintBkImage(HDC hDC)
{
    if (m_hMemDC == nullptr) {
        return;
    }
    RECT rc;
    if (!::IntersectRect(&rc, &m_rcPaint, &m_rcItem)) {
        return;
    }
    if (!::BitBlt(hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hMemDC, rc.left - m_rcItem.left,
                  rc.top - m_rcItem.top, SRCCOPY)) {
        common::log("CTransBkContainerUI::PaintBkImage", __LINE__, L"BitBlt failed lastError = %d",
                    static_cast<int>(::GetLastError()));
    }
}

}  // namespace SkinUI
