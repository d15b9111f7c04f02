// CDrawKit: colour fills, gradients, lines and frames, hue/saturation/
// lightness adjustment, CDrawClip and GenerateBitmap. Images are in
// draw_kit_image.cpp, text in draw_kit_text.cpp.
#include "skinui/core/draw_kit.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "foundation/log.h"
#include "foundation/scoped_gdi.h"
#include "foundation/system_dll.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/draw_kit_internal.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace drawkit {

namespace {

bool g_msimgDisabled = false;

Msimg32 LookUpMsimg32()
{
    Msimg32 functions;
    HMODULE module = utility::loadSystemLibrary(L"msimg32.dll");
    if (module == nullptr) {
        common::log("CDrawKit::GetMsimg32", __LINE__, L"msimg32.dll not loaded lastError = %d",
                    static_cast<int>(::GetLastError()));
        return functions;
    }
    functions.alphaBlend = reinterpret_cast<AlphaBlendFn>(::GetProcAddress(module, "AlphaBlend"));
    functions.gradientFill = reinterpret_cast<GradientFillFn>(::GetProcAddress(module, "GradientFill"));
    return functions;
}

}  // namespace

const Msimg32& GetMsimg32()
{
    static const Msimg32 functions = LookUpMsimg32();
    static const Msimg32 none;
    return g_msimgDisabled ? none : functions;
}

void SetMsimg32Disabled(bool disabled) { g_msimgDisabled = disabled; }

DibCanvas::DibCanvas(HDC hDC, int width, int height) : m_width(width), m_height(height)
{
    m_bitmap.reset(CDrawKit::CreateARGB32Bitmap(hDC, width, height, reinterpret_cast<LPBYTE*>(&m_pBits)));
    if (!m_bitmap.valid()) {
        return;
    }
    m_dc.reset(::CreateCompatibleDC(hDC));
    m_selected.select(m_dc.get(), m_bitmap.get());
}

DibCanvas::~DibCanvas() = default;

void BlendBitmap(HDC hDC, int x, int y, int cx, int cy, HDC hSrc, int sx, int sy, int scx, int scy, BYTE fade,
                 bool perPixel)
{
    if (cx <= 0 || cy <= 0 || scx <= 0 || scy <= 0) {
        return;
    }
    const AlphaBlendFn alphaBlend = GetMsimg32().alphaBlend;
    if (alphaBlend != nullptr) {
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, fade, static_cast<BYTE>(perPixel ? AC_SRC_ALPHA : 0)};
        alphaBlend(hDC, x, y, cx, cy, hSrc, sx, sy, scx, scy, bf);
        return;
    }
    // Software blend: both sides copied into DIBs of the destination size,
    // mixed with the weight source alpha x fade / 255 / 255, copied back.
    DibCanvas dest(hDC, cx, cy);
    DibCanvas src(hDC, cx, cy);
    if (!dest.IsValid() || !src.IsValid()) {
        return;
    }
    ::BitBlt(dest.GetDC(), 0, 0, cx, cy, hDC, x, y, SRCCOPY);
    ::SetStretchBltMode(src.GetDC(), COLORONCOLOR);
    ::StretchBlt(src.GetDC(), 0, 0, cx, cy, hSrc, sx, sy, scx, scy, SRCCOPY);
    ::GdiFlush();
    DWORD* d = dest.GetBits();
    const DWORD* s = src.GetBits();
    for (int i = 0; i < cx * cy; ++i) {
        DWORD sa = perPixel ? (s[i] >> 24) : 255;
        DWORD weight = sa * fade / 255;
        DWORD out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            DWORD sc = shift == 24 ? sa : (s[i] >> shift) & 0xFF;
            DWORD dc = (d[i] >> shift) & 0xFF;
            DWORD value = sc * fade / 255 + dc * (255 - weight) / 255;
            out |= (value > 255 ? 255 : value) << shift;
        }
        d[i] = out;
    }
    ::BitBlt(hDC, x, y, cx, cy, dest.GetDC(), 0, 0, SRCCOPY);
}

}  // namespace drawkit

using drawkit::DibCanvas;
using drawkit::GetMsimg32;

namespace {

// The frame of rc (with round corners of width x height when round), drawn
// inside rc with a solid pen and left unfilled.
void OutlineShape(HDC hDC, const RECT& rc, int size, DWORD color, int style, bool round, int width, int height)
{
    if (hDC == nullptr) {
        return;
    }
    utility::ScopedGdiObject<HPEN> pen(
        ::CreatePen(style == PS_SOLID ? PS_INSIDEFRAME : style, size, CDrawKit::ToColorRef(color)));
    utility::ScopedSelection penSelected(hDC, pen.get());
    if (!penSelected.valid()) {
        return;
    }
    utility::ScopedSelection brush(hDC, ::GetStockObject(HOLLOW_BRUSH));
    if (round) {
        ::RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, width, height);
    } else {
        ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
    }
}

}  // namespace

COLORREF CDrawKit::ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

void CDrawKit::DrawColor(HDC hDC, const RECT& rc, DWORD color)
{
    BYTE alpha = static_cast<BYTE>(color >> 24);
    if (hDC == nullptr || alpha == 0 || ::IsRectEmpty(&rc)) {
        return;
    }
    if (alpha == 255) {
        COLORREF old = ::SetBkColor(hDC, ToColorRef(color));
        ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        ::SetBkColor(hDC, old);
        return;
    }
    DibCanvas pixel(hDC, 1, 1);
    if (!pixel.IsValid()) {
        return;
    }
    DWORD r = ((color >> 16) & 0xFF) * alpha / 255;
    DWORD g = ((color >> 8) & 0xFF) * alpha / 255;
    DWORD b = (color & 0xFF) * alpha / 255;
    pixel.GetBits()[0] = (static_cast<DWORD>(alpha) << 24) | (r << 16) | (g << 8) | b;
    drawkit::BlendBitmap(hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, pixel.GetDC(), 0, 0, 1, 1, 255,
                         true);
}

void CDrawKit::DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    BYTE alpha = static_cast<BYTE>((((first >> 24) & 0xFF) + ((second >> 24) & 0xFF)) / 2);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    if (hDC == nullptr || alpha == 0 || width <= 0 || height <= 0) {
        return;
    }
    const drawkit::Msimg32& msimg = GetMsimg32();

    HDC target = hDC;
    RECT rcTarget = rc;
    DibCanvas* canvas = nullptr;
    if (alpha < 255) {
        canvas = new DibCanvas(hDC, width, height);
        if (!canvas->IsValid()) {
            delete canvas;
            return;
        }
        target = canvas->GetDC();
        rcTarget = {0, 0, width, height};
    }

    if (msimg.gradientFill != nullptr) {
        TRIVERTEX vertex[2] = {};
        vertex[0].x = rcTarget.left;
        vertex[0].y = rcTarget.top;
        vertex[0].Red = static_cast<COLOR16>(((first >> 16) & 0xFF) << 8);
        vertex[0].Green = static_cast<COLOR16>(((first >> 8) & 0xFF) << 8);
        vertex[0].Blue = static_cast<COLOR16>((first & 0xFF) << 8);
        vertex[0].Alpha = 0xFF00;
        vertex[1].x = rcTarget.right;
        vertex[1].y = rcTarget.bottom;
        vertex[1].Red = static_cast<COLOR16>(((second >> 16) & 0xFF) << 8);
        vertex[1].Green = static_cast<COLOR16>(((second >> 8) & 0xFF) << 8);
        vertex[1].Blue = static_cast<COLOR16>((second & 0xFF) << 8);
        vertex[1].Alpha = 0xFF00;
        GRADIENT_RECT gradient = {0, 1};
        msimg.gradientFill(target, vertex, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    } else {
        int shift = 1;
        if (steps >= 64)
            shift = 6;
        else if (steps >= 32)
            shift = 5;
        else if (steps >= 16)
            shift = 4;
        else if (steps >= 8)
            shift = 3;
        else if (steps >= 4)
            shift = 2;
        int lines = 1 << shift;
        int extent = vertical ? height : width;
        for (int i = 0; i < lines; ++i) {
            int from = extent * i / lines;
            int to = extent * (i + 1) / lines;
            if (to <= from)
                continue;
            DWORD mixed = 0xFF000000;
            for (int channel = 0; channel < 3; ++channel) {
                int a = (first >> (channel * 8)) & 0xFF;
                int b = (second >> (channel * 8)) & 0xFF;
                int value = a + (b - a) * i / (lines - 1 > 0 ? lines - 1 : 1);
                mixed |= static_cast<DWORD>(value & 0xFF) << (channel * 8);
            }
            RECT band = rcTarget;
            if (vertical) {
                band.top = rcTarget.top + from;
                band.bottom = rcTarget.top + to;
            } else {
                band.left = rcTarget.left + from;
                band.right = rcTarget.left + to;
            }
            DrawColor(target, band, mixed);
        }
    }

    if (canvas != nullptr) {
        // GDI leaves the alpha bytes at 0: make the bitmap opaque, then blend
        // it with the constant alpha.
        DWORD* bits = canvas->GetBits();
        ::GdiFlush();
        for (int i = 0; i < width * height; ++i)
            bits[i] |= 0xFF000000;
        drawkit::BlendBitmap(hDC, rc.left, rc.top, width, height, canvas->GetDC(), 0, 0, width, height, alpha, false);
        delete canvas;
    }
}

void CDrawKit::DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style)
{
    if (hDC == nullptr) {
        return;
    }
    utility::ScopedGdiObject<HPEN> pen(::CreatePen(style, size, ToColorRef(color)));
    utility::ScopedSelection penSelected(hDC, pen.get());
    if (!penSelected.valid()) {
        return;
    }
    POINT old;
    ::MoveToEx(hDC, rc.left, rc.top, &old);
    ::LineTo(hDC, rc.right, rc.bottom);
    ::MoveToEx(hDC, old.x, old.y, nullptr);
}

void CDrawKit::DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style)
{
    OutlineShape(hDC, rc, size, color, style, false, 0, 0);
}

void CDrawKit::DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color, int style)
{
    OutlineShape(hDC, rc, size, color, style, true, width, height);
}

namespace {

void RgbToHsl(DWORD color, float& h, float& s, float& l)
{
    float r = ((color >> 16) & 0xFF) / 255.0f;
    float g = ((color >> 8) & 0xFF) / 255.0f;
    float b = (color & 0xFF) / 255.0f;
    float maxC = r > g ? (r > b ? r : b) : (g > b ? g : b);
    float minC = r < g ? (r < b ? r : b) : (g < b ? g : b);
    l = (maxC + minC) / 2;
    if (maxC == minC) {
        h = 0;
        s = 0;
        return;
    }
    float d = maxC - minC;
    s = l > 0.5f ? d / (2 - maxC - minC) : d / (maxC + minC);
    if (maxC == r)
        h = (g - b) / d + (g < b ? 6 : 0);
    else if (maxC == g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    h *= 60;
}

float HueToRgb(float p, float q, float t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0f / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5f)
        return q;
    if (t < 2.0f / 3)
        return p + (q - p) * (2.0f / 3 - t) * 6;
    return p;
}

BYTE ClampChannel(float value)
{
    int v = static_cast<int>(value * 255 + 0.5f);
    return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace

DWORD CDrawKit::AdjustColor(DWORD color, short H, short S, short L)
{
    if (H == 180 && S == 100 && L == 100) {
        return color;
    }
    float h, s, l;
    RgbToHsl(color, h, s, l);
    h += H - 180;
    while (h <= 0)
        h += 360;
    while (h > 360)
        h -= 360;
    s *= S / 100.0f;
    l *= L / 100.0f;
    if (s > 1)
        s = 1;
    if (l > 1)
        l = 1;
    float r, g, b;
    if (s == 0) {
        r = g = b = l;
    } else {
        float q = l < 0.5f ? l * (1 + s) : l + s - l * s;
        float p = 2 * l - q;
        float t = h / 360.0f;
        r = HueToRgb(p, q, t + 1.0f / 3);
        g = HueToRgb(p, q, t);
        b = HueToRgb(p, q, t - 1.0f / 3);
    }
    return (color & 0xFF000000) | (static_cast<DWORD>(ClampChannel(r)) << 16) |
           (static_cast<DWORD>(ClampChannel(g)) << 8) | ClampChannel(b);
}

bool CDrawKit::AdjustImage(bool enable, UiImageInfo* image, short H, short S, short L)
{
    if (image == nullptr || !image->bUseHSL || image->pSrcBits == nullptr || image->pBits == nullptr) {
        return false;
    }
    const size_t count = static_cast<size_t>(image->nX) * static_cast<size_t>(image->nY);
    ::GdiFlush();
    if (!enable || (H == 180 && S == 100 && L == 100)) {
        memcpy(image->pBits, image->pSrcBits, count * 4);
        return true;
    }
    const DWORD* src = reinterpret_cast<const DWORD*>(image->pSrcBits);
    DWORD* dest = reinterpret_cast<DWORD*>(image->pBits);
    for (size_t i = 0; i < count; ++i) {
        dest[i] = AdjustColor(src[i], H, S, L);
    }
    return true;
}

HBITMAP CDrawKit::GenerateBitmap(CUiManager* manager, const RECT& rc, CControlUI* stopControl, DWORD background)
{
    if (manager == nullptr || manager->GetRoot() == nullptr) {
        return nullptr;
    }
    RECT rcWindow = manager->GetRoot()->GetPos();
    if (manager->GetPaintWindow() != nullptr) {
        ::GetClientRect(manager->GetPaintWindow(), &rcWindow);
    }
    const int width = rcWindow.right - rcWindow.left;
    const int height = rcWindow.bottom - rcWindow.top;
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    if (width <= 0 || height <= 0 || cx <= 0 || cy <= 0) {
        return nullptr;
    }
    HDC reference = manager->GetPaintDC();
    // A layered window already holds the whole picture in its off-screen DIB.
    utility::ScopedMemoryDC layeredDC;
    utility::ScopedSelection layeredSelected;
    if (manager->IsLayered() && stopControl == nullptr && manager->GetOffscreenBitmap() != nullptr) {
        layeredDC.reset(::CreateCompatibleDC(reference));
        layeredSelected.select(layeredDC.get(), manager->GetOffscreenBitmap());
    }
    DibCanvas whole(reference, layeredDC.valid() ? 1 : width, layeredDC.valid() ? 1 : height);
    if (!layeredDC.valid()) {
        if (!whole.IsValid()) {
            common::log("CDrawKit::GenerateBitmap", __LINE__, L"canvas not created lastError = %d",
                        static_cast<int>(::GetLastError()));
            return nullptr;
        }
        manager->GetRoot()->Paint(whole.GetDC(), rcWindow, stopControl);
    }
    HDC source = layeredDC.valid() ? layeredDC.get() : whole.GetDC();

    LPBYTE bits = nullptr;
    utility::ScopedGdiObject<HBITMAP> bitmap(CreateARGB32Bitmap(reference, cx, cy, &bits));
    utility::ScopedMemoryDC cloneDC(bitmap.valid() ? ::CreateCompatibleDC(reference) : nullptr);
    if (!cloneDC.valid()) {
        common::log("CDrawKit::GenerateBitmap", __LINE__, L"bitmap not created lastError = %d",
                    static_cast<int>(::GetLastError()));
        return nullptr;
    }
    utility::ScopedSelection cloneSelected(cloneDC.get(), bitmap.get());
    ::BitBlt(cloneDC.get(), 0, 0, cx, cy, source, rc.left, rc.top, SRCCOPY);
    layeredSelected.restore();
    layeredDC.reset();
    if ((background >> 24) != 0) {
        RECT rcFill = {0, 0, cx, cy};
        DrawColor(cloneDC.get(), rcFill, background);
    }
    cloneSelected.restore();
    cloneDC.reset();
    return bitmap.release();
}

CDrawClip::~CDrawClip()
{
    if (hDC == nullptr) {
        return;
    }
    ::SelectClipRgn(hDC, hOldRgn);
    if (hOldRgn != nullptr)
        ::DeleteObject(hOldRgn);
    if (hRgn != nullptr)
        ::DeleteObject(hRgn);
}

void CDrawClip::SelectRegion(HDC hDC, const RECT& rc, HRGN region, CDrawClip& clip)
{
    RECT rcClip = {0, 0, 0, 0};
    ::GetClipBox(hDC, &rcClip);
    clip.hOldRgn = ::CreateRectRgnIndirect(&rcClip);
    clip.hRgn = region;
    ::ExtSelectClipRgn(hDC, clip.hRgn, RGN_AND);
    clip.hDC = hDC;
    clip.rcItem = rc;
}

void CDrawClip::GenerateClip(HDC hDC, const RECT& rc, CDrawClip& clip)
{
    if (hDC == nullptr) {
        return;
    }
    SelectRegion(hDC, rc, ::CreateRectRgnIndirect(&rc), clip);
}

void CDrawClip::GenerateRoundClip(HDC hDC, const RECT& rc, const RECT& rcItem, int width, int height, CDrawClip& clip)
{
    if (hDC == nullptr) {
        return;
    }
    HRGN region = ::CreateRectRgnIndirect(&rc);
    HRGN round = ::CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1, rcItem.bottom + 1, width, height);
    ::CombineRgn(region, region, round, RGN_AND);
    ::DeleteObject(round);
    SelectRegion(hDC, rc, region, clip);
}

void CDrawClip::UseOldClipBegin(HDC hDC, CDrawClip& clip) { ::SelectClipRgn(hDC, clip.hOldRgn); }
void CDrawClip::UseOldClipEnd(HDC hDC, CDrawClip& clip) { ::SelectClipRgn(hDC, clip.hRgn); }

}  // namespace SkinUI
