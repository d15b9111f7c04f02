// Pieces shared by the drawing kit's source files: the msimg32 functions
// looked up once per process, and a scoped memory DC over a 32-bit DIB.
#pragma once

#include <windows.h>

#include "foundation/scoped_gdi.h"

namespace SkinUI {
namespace drawkit {

typedef BOOL(WINAPI* AlphaBlendFn)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct Msimg32 {
    AlphaBlendFn alphaBlend = nullptr;
    GradientFillFn gradientFill = nullptr;
};

// Looked up in "msimg32.dll" on first use; a missing export stays null.
const Msimg32& GetMsimg32();
// Test hook: pretend msimg32 is missing (software blend and banded gradients).
void SetMsimg32Disabled(bool disabled);

// A memory DC with a top-down 32-bit DIB section selected; freed on scope exit.
class DibCanvas {
public:
    DibCanvas(HDC hDC, int width, int height);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool IsValid() const { return m_selected.valid(); }
    HDC GetDC() const { return m_dc.get(); }
    DWORD* GetBits() const { return m_pBits; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

private:
    // In this order: the bitmap is deselected, then the DC deleted, then the bitmap.
    utility::ScopedGdiObject<HBITMAP> m_bitmap;
    utility::ScopedMemoryDC m_dc;
    utility::ScopedSelection m_selected;
    DWORD* m_pBits = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// AlphaBlend with per-pixel alpha (premultiplied source) and a constant
// alpha; mixes in software when msimg32 has no AlphaBlend.
void BlendBitmap(HDC hDC, int x, int y, int cx, int cy, HDC hSrc, int sx, int sy, int scx, int scy, BYTE fade,
                 bool perPixel);

}  // namespace drawkit
}  // namespace SkinUI
