// CTransBkContainerUI ("TransBkContainer"): a container whose background is
// copied from a memory device context it owns (a cached picture of what lies
// behind it) instead of being drawn from a colour or an image. Without a
// cached background it paints no background of its own.
#pragma once

#include <windows.h>

#include "foundation/scoped_gdi.h"
#include "skinui/controls/container_ui.h"

namespace SkinUI {

class CTransBkContainerUI : public CContainerUI {
public:
    CTransBkContainerUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void PaintBkImage(HDC hDC) override;

    // Hands the cached background over: the control owns both from now on
    // (bitmap selected into memoryDC) and frees the earlier context and the
    // earlier bitmap, each only when it is replaced (a kept context is not
    // freed with the bitmap it held). Null for both drops the cache.
    void SetCachedBackground(HDC memoryDC, HBITMAP bitmap);
    HDC GetCachedDC() const { return m_memDC.get(); }

private:
    // The bitmap first: the context, declared after it, goes first, since a
    // bitmap still selected into a context is not deleted and would leak.
    utility::ScopedGdiObject<HBITMAP> m_bitmap;
    utility::ScopedMemoryDC m_memDC;
};

}  // namespace SkinUI
