// CDrawKit, images: decoding with stb_image into premultiplied DIB sections,
// the image-description grammar, and nine-grid drawing with tiling, hole and
// fade.
#include "skinui/core/draw_kit.h"

#include <stdlib.h>
#include <string.h>

#include "foundation/log.h"
#include "skinui/core/attribute_parser.h"
#include "foundation/module_resource.h"
#include "foundation/scoped_gdi.h"
#include "foundation/ufile.h"
#include "skinui/core/draw_kit_internal.h"
#include "skinui/core/ui_manager.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace SkinUI {

using drawkit::BlendBitmap;
using drawkit::DibCanvas;

namespace {

bool ReadResource(CUiStringOrId name, const wchar_t* type, LPBYTE& data, DWORD& size)
{
    data = nullptr;
    size = 0;
    utility::ResourceBytes bytes;
    if (utility::findResource(CUiManager::GetInstance(), name.GetPtr(), type, bytes) != utility::kResourceFound ||
        bytes.size == 0) {
        return false;
    }
    data = new BYTE[bytes.size];
    memcpy(data, bytes.data, bytes.size);
    size = bytes.size;
    return true;
}

// RGBA rows from stb_image into a premultiplied BGRA DIB section.
UiImageInfo* MakeImage(const BYTE* rgba, int width, int height, DWORD mask)
{
    LPBYTE bits = nullptr;
    HBITMAP bitmap = CDrawKit::CreateARGB32Bitmap(nullptr, width, height, &bits);
    if (bitmap == nullptr) {
        common::log("CDrawKit::LoadImage", __LINE__, L"CreateDIBSection failed lastError = %d",
                    static_cast<int>(::GetLastError()));
        return nullptr;
    }
    bool alpha = false;
    DWORD* out = reinterpret_cast<DWORD*>(bits);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) {
        DWORD r = rgba[i * 4], g = rgba[i * 4 + 1], b = rgba[i * 4 + 2], a = rgba[i * 4 + 3];
        if (a < 255) {
            // channel x alpha / 255, in integers
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            alpha = true;
        }
        DWORD argb = (a << 24) | (r << 16) | (g << 8) | b;
        if (argb == mask) {
            argb = 0;
            alpha = true;
        }
        out[i] = argb;
    }
    UiImageInfo* info = new UiImageInfo;
    info->hBitmap = bitmap;
    info->pBits = bits;
    info->nX = width;
    info->nY = height;
    info->bAlpha = alpha;
    info->dwMask = mask;
    return info;
}

bool IsZero(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

// Draws the cells of one DrawImage call; every cell is checked against the
// paint rectangle and skipped when either side has no area.
class CellPainter {
public:
    CellPainter(HDC hDC, HDC memDC, const RECT& paint, bool blend, BYTE fade)
        : m_hDC(hDC), m_memDC(memDC), m_paint(paint), m_blend(blend), m_fade(fade)
    {
    }

    void Cell(const RECT& dest, const RECT& src) const
    {
        if (Width(dest) <= 0 || Height(dest) <= 0 || Width(src) <= 0 || Height(src) <= 0) {
            return;
        }
        RECT meet;
        if (!::IntersectRect(&meet, &dest, &m_paint)) {
            return;
        }
        if (m_blend) {
            BlendBitmap(m_hDC, dest.left, dest.top, Width(dest), Height(dest), m_memDC, src.left, src.top, Width(src),
                        Height(src), m_fade, true);
        } else if (Width(dest) == Width(src) && Height(dest) == Height(src)) {
            ::BitBlt(m_hDC, dest.left, dest.top, Width(dest), Height(dest), m_memDC, src.left, src.top, SRCCOPY);
        } else {
            ::StretchBlt(m_hDC, dest.left, dest.top, Width(dest), Height(dest), m_memDC, src.left, src.top, Width(src),
                         Height(src), SRCCOPY);
        }
    }

    // The centre: stretched, or tiled in one or both directions with the
    // last tile of a row or column cut.
    void Centre(const RECT& dest, const RECT& src, bool xtiled, bool ytiled) const
    {
        RECT meet;
        if (!::IntersectRect(&meet, &dest, &m_paint)) {
            return;
        }
        const int tileW = Width(src);
        const int tileH = Height(src);
        if (Width(dest) <= 0 || Height(dest) <= 0 || tileW <= 0 || tileH <= 0) {
            return;
        }
        if (!xtiled && !ytiled) {
            Cell(dest, src);
            return;
        }
        const int columns = xtiled ? (Width(dest) + tileW - 1) / tileW : 1;
        const int rows = ytiled ? (Height(dest) + tileH - 1) / tileH : 1;
        for (int row = 0; row < rows; ++row) {
            RECT d = dest;
            RECT s = src;
            if (ytiled) {
                d.top = dest.top + row * tileH;
                d.bottom = d.top + tileH < dest.bottom ? d.top + tileH : dest.bottom;
                s.bottom = s.top + Height(d);
            }
            for (int column = 0; column < columns; ++column) {
                if (xtiled) {
                    d.left = dest.left + column * tileW;
                    d.right = d.left + tileW < dest.right ? d.left + tileW : dest.right;
                    s.right = s.left + Width(d);
                }
                Cell(d, s);
            }
        }
    }

private:
    HDC m_hDC;
    HDC m_memDC;
    RECT m_paint;
    bool m_blend;
    BYTE m_fade;
};

}  // namespace

void UiDrawInfo::Clear()
{
    sDrawString.Empty();
    sImageName.Empty();
    sEnlargeDrawString.Empty();
    bParsed = false;
    pImageInfo = nullptr;
    rcDest = {0, 0, 0, 0};
    rcSource = {0, 0, 0, 0};
    rcCorner = {0, 0, 0, 0};
    uFade = 255;
    bHole = false;
    bTiledX = false;
    bTiledY = false;
}

HBITMAP CDrawKit::CreateARGB32Bitmap(HDC hDC, int cx, int cy, LPBYTE* bits)
{
    if (bits != nullptr)
        *bits = nullptr;
    if (cx <= 0 || cy <= 0) {
        return nullptr;
    }
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(cx) * static_cast<DWORD>(cy) * 4;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
        *bits = static_cast<LPBYTE>(pixels);
    }
    return bitmap;
}

UiImageInfo* CDrawKit::LoadImage(CUiStringOrId bitmap, const wchar_t* type, DWORD mask)
{
    const wchar_t* name = bitmap.GetText();
    if (bitmap.IsId() ? bitmap.GetId() == 0 : (name == nullptr || name[0] == L'\0')) {
        return nullptr;
    }
    const bool hasType = type != nullptr && type[0] != L'\0';
    if (hasType && wcscmp(type, L"*COLOR*") == 0) {
        if (name == nullptr) {
            return nullptr;
        }
        DWORD color = ParseColor(name);
        BYTE rgba[4] = {static_cast<BYTE>(color >> 16), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color),
                        static_cast<BYTE>(color >> 24)};
        UiImageInfo* info = MakeImage(rgba, 1, 1, mask);
        if (info != nullptr)
            info->sResType = type;
        return info;
    }

    LPBYTE data = nullptr;
    DWORD size = 0;
    if (!hasType) {
        data = CUiManager::LoadSkinData(name, size);
    } else {
        ReadResource(bitmap, type, data, size);
    }
    if (data == nullptr && name != nullptr) {
        data = utility::ufile::readWholeFile(name, size).release();
    }
    if (data == nullptr) {
        if (name != nullptr) {
            common::log("CDrawKit::LoadImage", __LINE__, L"image %s not found lastError = %d", name,
                        static_cast<int>(::GetLastError()));
        } else {
            common::log("CDrawKit::LoadImage", __LINE__, L"image resource %d not found lastError = %d",
                        static_cast<int>(bitmap.GetId()), static_cast<int>(::GetLastError()));
        }
        return nullptr;
    }

    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
    delete[] data;
    if (pixels == nullptr) {
        common::log("CDrawKit::LoadImage", __LINE__, L"image %s cannot be decoded lastError = %d",
                    name != nullptr ? name : L"(resource)", 0);
        return nullptr;
    }
    UiImageInfo* info = MakeImage(pixels, width, height, mask);
    stbi_image_free(pixels);
    if (info != nullptr && hasType)
        info->sResType = type;
    return info;
}

void CDrawKit::FreeImage(UiImageInfo* info, bool deleteRecord)
{
    if (info == nullptr) {
        return;
    }
    if (info->hBitmap != nullptr) {
        ::DeleteObject(info->hBitmap);
        info->hBitmap = nullptr;
        info->pBits = nullptr;
    }
    delete[] info->pSrcBits;
    info->pSrcBits = nullptr;
    if (deleteRecord) {
        delete info;
    }
}

bool CDrawKit::ParseImageDescription(const wchar_t* description, UiDrawInfo& info, UiImageLoadSpec& spec)
{
    if (description == nullptr) {
        return false;
    }
    if (wcschr(description, L'=') == nullptr) {
        spec.sName = description;
        return true;
    }
    const wchar_t* p = description;
    while (*p != L'\0') {
        while (*p == L' ')
            ++p;
        if (*p == L'\0') {
            break;
        }
        const wchar_t* keyStart = p;
        while (*p != L'\0' && *p != L'=' && *p != L' ')
            ++p;
        CUiString key(keyStart, static_cast<int>(p - keyStart));
        while (*p == L' ')
            ++p;
        if (*p != L'=')
            return false;
        ++p;
        while (*p == L' ')
            ++p;
        if (*p != L'\'')
            return false;
        ++p;
        const wchar_t* valueStart = p;
        while (*p != L'\0' && *p != L'\'')
            ++p;
        if (*p != L'\'')
            return false;
        CUiString value(valueStart, static_cast<int>(p - valueStart));
        ++p;
        if (value.IsEmpty())
            continue;
        if (key == L"file") {
            spec.sName = value;
        } else if (key == L"res") {
            spec.sName = value;
            spec.bTypeGiven = true;
        } else if (key == L"restype") {
            spec.sResType = value;
        } else if (key == L"color") {
            spec.sName = value;
            spec.sResType = L"*COLOR*";
            spec.bTypeGiven = true;
        } else if (key == L"dest") {
            info.rcDest = ParseRect(value);
        } else if (key == L"source") {
            info.rcSource = ParseRect(value);
        } else if (key == L"corner" || key == L"scale9") {
            info.rcCorner = ParseRect(value);
        } else if (key == L"mask") {
            spec.dwMask = ParseColor(value);  // a "0x" prefix reads too
        } else if (key == L"fade") {
            info.uFade = static_cast<BYTE>(wcstol(value, nullptr, 10));
        } else if (key == L"hole") {
            info.bHole = value == L"true";
        } else if (key == L"xtiled") {
            info.bTiledX = value == L"true";
        } else if (key == L"ytiled") {
            info.bTiledY = value == L"true";
        } else if (key == L"hsl") {
            spec.bHSL = value == L"true";
        }
    }
    return true;
}

void CDrawKit::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                         const RECT& rcCorners, bool alpha, BYTE fade, bool hole, bool xtiled, bool ytiled)
{
    if (hDC == nullptr || hBitmap == nullptr) {
        return;
    }
    RECT rcDraw;
    if (!::IntersectRect(&rcDraw, &rc, &rcPaint)) {
        return;
    }
    utility::ScopedMemoryDC memory(::CreateCompatibleDC(hDC));
    if (!memory.valid()) {
        return;
    }
    HDC memDC = memory.get();
    utility::ScopedSelection bitmap(memDC, hBitmap);
    int saved = ::SaveDC(hDC);
    ::IntersectClipRect(hDC, rcDraw.left, rcDraw.top, rcDraw.right, rcDraw.bottom);
    ::SetStretchBltMode(hDC, HALFTONE);
    ::SetBrushOrgEx(hDC, 0, 0, nullptr);

    const bool blend = alpha || fade < 255;
    const RECT& c = rcCorners;
    if (!blend && IsZero(c) && Width(rc) == Width(rcBmpPart) && Height(rc) == Height(rcBmpPart)) {
        ::BitBlt(hDC, rcDraw.left, rcDraw.top, Width(rcDraw), Height(rcDraw), memDC,
                 rcBmpPart.left + rcDraw.left - rc.left, rcBmpPart.top + rcDraw.top - rc.top, SRCCOPY);
    } else {
        CellPainter painter(hDC, memDC, rcPaint, blend, fade);
        const RECT& s = rcBmpPart;
        if (!hole) {
            RECT dest = {rc.left + c.left, rc.top + c.top, rc.right - c.right, rc.bottom - c.bottom};
            RECT src = {s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom};
            painter.Centre(dest, src, xtiled, ytiled);
        }
        if (c.left > 0 && c.top > 0) {  // top-left
            painter.Cell({rc.left, rc.top, rc.left + c.left, rc.top + c.top},
                         {s.left, s.top, s.left + c.left, s.top + c.top});
        }
        if (c.top > 0) {  // top
            painter.Cell({rc.left + c.left, rc.top, rc.right - c.right, rc.top + c.top},
                         {s.left + c.left, s.top, s.right - c.right, s.top + c.top});
        }
        if (c.right > 0 && c.top > 0) {  // top-right
            painter.Cell({rc.right - c.right, rc.top, rc.right, rc.top + c.top},
                         {s.right - c.right, s.top, s.right, s.top + c.top});
        }
        if (c.left > 0) {  // left
            painter.Cell({rc.left, rc.top + c.top, rc.left + c.left, rc.bottom - c.bottom},
                         {s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom});
        }
        if (c.right > 0) {  // right
            painter.Cell({rc.right - c.right, rc.top + c.top, rc.right, rc.bottom - c.bottom},
                         {s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom});
        }
        if (c.left > 0 && c.bottom > 0) {  // bottom-left
            painter.Cell({rc.left, rc.bottom - c.bottom, rc.left + c.left, rc.bottom},
                         {s.left, s.bottom - c.bottom, s.left + c.left, s.bottom});
        }
        if (c.bottom > 0) {  // bottom
            painter.Cell({rc.left + c.left, rc.bottom - c.bottom, rc.right - c.right, rc.bottom},
                         {s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom});
        }
        if (c.right > 0 && c.bottom > 0) {  // bottom-right
            painter.Cell({rc.right - c.right, rc.bottom - c.bottom, rc.right, rc.bottom},
                         {s.right - c.right, s.bottom - c.bottom, s.right, s.bottom});
        }
    }

    ::RestoreDC(hDC, saved);
}

bool CDrawKit::DrawImageInfo(HDC hDC, CUiManager* manager, const RECT& rcItem, const RECT& rcPaint, UiDrawInfo& info)
{
    if (manager == nullptr) {
        return true;
    }
    if (info.pImageInfo == nullptr) {
        if (info.bParsed) {
            return false;
        }
        info.bParsed = true;
        const CUiString& description = (CUiManager::IsEnlargeMode() && !info.sEnlargeDrawString.IsEmpty())
                                           ? info.sEnlargeDrawString
                                           : info.sDrawString;
        if (description.IsEmpty()) {
            return false;
        }
        UiImageLoadSpec spec;
        ParseImageDescription(description, info, spec);
        info.sImageName = spec.sName;
        if (spec.sName.IsEmpty()) {
            return false;
        }
        const wchar_t* type = spec.bTypeGiven ? spec.sResType.GetData() : nullptr;
        info.pImageInfo = manager->GetImageEx(spec.sName, type, spec.dwMask, spec.bHSL);
        if (info.pImageInfo == nullptr) {
            return false;
        }
        RECT& src = info.rcSource;
        if (IsZero(src)) {
            src = {0, 0, info.pImageInfo->nX, info.pImageInfo->nY};
        }
        if (src.right > info.pImageInfo->nX)
            src.right = info.pImageInfo->nX;
        if (src.bottom > info.pImageInfo->nY)
            src.bottom = info.pImageInfo->nY;
    }
    if (hDC == nullptr) {
        return true;
    }
    RECT rcDest = rcItem;
    const RECT& d = info.rcDest;
    if (!IsZero(d)) {
        rcDest.left = rcItem.left + d.left;
        rcDest.top = rcItem.top + d.top;
        rcDest.right = rcItem.left + d.right < rcItem.right ? rcItem.left + d.right : rcItem.right;
        rcDest.bottom = rcItem.top + d.bottom < rcItem.bottom ? rcItem.top + d.bottom : rcItem.bottom;
    }
    RECT rcClip;
    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcDest, &rcItem) || !::IntersectRect(&rcClip, &rcItem, &rcPaint) ||
        !::IntersectRect(&rcTemp, &rcDest, &rcClip)) {
        return true;
    }
    DrawImage(hDC, info.pImageInfo->hBitmap, rcDest, rcClip, info.rcSource, info.rcCorner, info.pImageInfo->bAlpha,
              info.uFade, info.bHole, info.bTiledX, info.bTiledY);
    return true;
}

bool CDrawKit::DrawImageInfoFrame(HDC hDC, CUiManager* manager, const RECT& rcItem, const RECT& rcPaint,
                                  UiDrawInfo& info, int frame)
{
    if (!DrawImageInfo(nullptr, manager, rcItem, rcPaint, info) || info.pImageInfo == nullptr) {
        return manager == nullptr;
    }
    const int width = info.pImageInfo->nX;
    info.rcSource = {width * frame / 4, 0, width * (frame + 1) / 4, info.pImageInfo->nY};
    return DrawImageInfo(hDC, manager, rcItem, rcPaint, info);
}

}  // namespace SkinUI
