// Stateless GDI drawing operations shared by every control: colour fills,
// gradients, lines and frames with 32-bit ARGB colours, loaded images and the
// image-description strings of the skins, plain and mark-up text, and
// CDrawClip for clipping one paint.
//
// Files: draw_kit.cpp (colours, figures, HSL, clips, GenerateBitmap),
// draw_kit_image.cpp (decoding, descriptions, nine-grid drawing),
// draw_kit_text.cpp (DrawText and the mark-up text of DrawHtmlText).
#pragma once

#include <windows.h>

#include "skinui/core/ui_string.h"
#include "skinui/core/ui_types.h"

namespace SkinUI {

class CUiManager;
class CControlUI;

// One decoded image: a 32-bit top-down DIB section with premultiplied BGRA pixels.
struct UiImageInfo {
    HBITMAP hBitmap = nullptr;
    LPBYTE pBits = nullptr;
    LPBYTE pSrcBits = nullptr;  // copy kept for hue/saturation/lightness adjustment
    int nX = 0;
    int nY = 0;
    bool bAlpha = false;
    bool bUseHSL = false;
    CUiString sResType;
    DWORD dwMask = 0;
};

// The cached image attribute of a control: the description and what it
// resolved to. DrawImageInfo fills it on first use.
struct UiDrawInfo {
    UiDrawInfo() { Clear(); }
    void Clear();

    CUiString sDrawString;
    CUiString sImageName;
    CUiString sEnlargeDrawString;
    bool bParsed;
    const UiImageInfo* pImageInfo;  // owned by the manager's image tables
    RECT rcDest;
    RECT rcSource;
    RECT rcCorner;
    BYTE uFade;
    bool bHole;
    bool bTiledX;
    bool bTiledY;
};

// What an image description asks to load (the drawing fields go to UiDrawInfo).
struct UiImageLoadSpec {
    CUiString sName;     // "file", "res", "color" or the whole plain description
    CUiString sResType;  // "restype", or "*COLOR*" for "color"
    DWORD dwMask = 0;
    bool bHSL = false;
    bool bTypeGiven = false;  // "res" or "color" was given
};

class CDrawKit {
public:
    // GDI colour (0x00BBGGRR) of an ARGB value.
    static COLORREF ToColorRef(DWORD argb);

    // A top-down 32-bit DIB section; bits receives its pixels. Null on failure.
    static HBITMAP CreateARGB32Bitmap(HDC hDC, int cx, int cy, LPBYTE* bits);

    // bitmap: a file (skin data, then disk), a resource name or number with a
    // resource type (then disk), or a colour text with the type "*COLOR*".
    // Null when it cannot be loaded or decoded.
    static UiImageInfo* LoadImage(CUiStringOrId bitmap, const wchar_t* type = nullptr, DWORD mask = 0);
    static void FreeImage(UiImageInfo* info, bool deleteRecord = true);

    // Parses an image description into the drawing fields of info and the
    // loading fields of spec. Returns false when parsing stopped at a
    // malformed pair (the pairs read before it stay applied).
    static bool ParseImageDescription(const wchar_t* description, UiDrawInfo& info, UiImageLoadSpec& spec);

    static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                          const RECT& rcCorners, bool alpha, BYTE fade = 255, bool hole = false, bool xtiled = false,
                          bool ytiled = false);
    // Parses and loads once, then draws. hDC may be null (load only).
    static bool DrawImageInfo(HDC hDC, CUiManager* manager, const RECT& rcItem, const RECT& rcPaint, UiDrawInfo& info);
    // One quarter (frame 0-3) of a horizontal strip of four state images.
    static bool DrawImageInfoFrame(HDC hDC, CUiManager* manager, const RECT& rcItem, const RECT& rcPaint,
                                   UiDrawInfo& info, int frame);

    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);
    // Line from (left, top) to (right, bottom).
    static void DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
    // Outline inside the frame, no fill.
    static void DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color,
                              int style = PS_SOLID);

    // Plain text in the font of the id; texts starting with "@" are looked up
    // in the language table first.
    static void DrawText(HDC hDC, CUiManager* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
                         UINT style);
    // Mark-up text (tags a b c f h i n p r s u v x y z, see draw_kit_text.cpp).
    // links/linkTexts receive up to linkCount link rectangles and texts; the
    // number recorded is written back. With DT_CALCRECT nothing is drawn and
    // rc receives the used size.
    static void DrawHtmlText(HDC hDC, CUiManager* manager, RECT& rc, const wchar_t* text, DWORD color, RECT* links,
                             CUiString* linkTexts, int& linkCount, int font, UINT style);

    // Renders the manager's root into a new top-down 32-bit bitmap of rc (the
    // caller frees it); a background colour with alpha fills it first.
    static HBITMAP GenerateBitmap(CUiManager* manager, const RECT& rc, CControlUI* stopControl = nullptr,
                                  DWORD background = 0);

    // Hue in degrees (180 neutral), saturation and lightness in percent (100 neutral).
    static DWORD AdjustColor(DWORD color, short H, short S, short L);
    // Recomputes the live pixels from the kept original pixels.
    static bool AdjustImage(bool enable, UiImageInfo* image, short H, short S, short L);
};

// Restricts drawing to a rectangle or rounded rectangle for one paint; the
// previous clip comes back when the object goes.
class CDrawClip {
public:
    CDrawClip() {}
    ~CDrawClip();
    CDrawClip(const CDrawClip&) = delete;
    CDrawClip& operator=(const CDrawClip&) = delete;

    static void GenerateClip(HDC hDC, const RECT& rc, CDrawClip& clip);
    static void GenerateRoundClip(HDC hDC, const RECT& rc, const RECT& rcItem, int width, int height, CDrawClip& clip);
    static void UseOldClipBegin(HDC hDC, CDrawClip& clip);
    static void UseOldClipEnd(HDC hDC, CDrawClip& clip);

private:
    // Remembers the DC's clip box and narrows the clip to region, which the
    // clip then owns.
    static void SelectRegion(HDC hDC, const RECT& rc, HRGN region, CDrawClip& clip);

    HDC hDC = nullptr;
    RECT rcItem = {0, 0, 0, 0};
    HRGN hRgn = nullptr;
    HRGN hOldRgn = nullptr;
};

}  // namespace SkinUI
