// CLabelUI, text effects: the label's text drawn by GDI+ with a gradient
// brush, a blurred glow behind it, a one-pixel stroke and a drop shadow.
// Layers, from the bottom: glow, stroke, shadow, text.
#include <windows.h>

#include <gdiplus.h>

#include "foundation/log.h"
#include "foundation/scoped_gdi.h"
#include "skinui/controls/label_ui.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

using Gdiplus::GpStatus;

// Owns one GDI+ object and frees it with its flat-API function.
template <typename T, typename Base>
class GdipObject {
public:
    typedef GpStatus(WINGDIPAPI* FreeFn)(Base*);
    explicit GdipObject(FreeFn free) : m_free(free) {}
    ~GdipObject()
    {
        if (m_p != nullptr) {
            m_free(m_p);
        }
    }
    GdipObject(const GdipObject&) = delete;
    GdipObject& operator=(const GdipObject&) = delete;
    T** Out() { return &m_p; }
    T* Get() const { return m_p; }

private:
    FreeFn m_free;
    T* m_p = nullptr;
};

typedef GdipObject<Gdiplus::GpGraphics, Gdiplus::GpGraphics> Graphics;
typedef GdipObject<Gdiplus::GpFont, Gdiplus::GpFont> Font;
typedef GdipObject<Gdiplus::GpStringFormat, Gdiplus::GpStringFormat> StringFormat;
typedef GdipObject<Gdiplus::GpLineGradient, Gdiplus::GpBrush> LineBrush;
typedef GdipObject<Gdiplus::GpSolidFill, Gdiplus::GpBrush> SolidBrush;
typedef GdipObject<Gdiplus::GpBitmap, Gdiplus::GpImage> Bitmap;

bool Failed(GpStatus status, const char* what, int line)
{
    if (status == Gdiplus::Ok) {
        return false;
    }
    // A window repaints often: only the first failures go to the log.
    static int told = 0;
    if (++told > 8) {
        return true;
    }
    common::log("CLabelUI::PaintEffectText", line, L"%S failed status = %d lastError = %d", what,
                static_cast<int>(status), static_cast<int>(::GetLastError()));
    return true;
}

// A linear gradient from (x1, y1) to (x2, y2), repeated beyond its ends.
bool MakeLineBrush(const GdiplusApi& gp, LineBrush& brush, float x1, float y1, float x2, float y2, DWORD first,
                   DWORD second)
{
    Gdiplus::PointF from(x1, y1);
    Gdiplus::PointF to(x2, y2);
    if (to.X == from.X && to.Y == from.Y) {
        to.Y += 1.0f;  // a gradient needs two distinct points
    }
    return !Failed(gp.GdipCreateLineBrush(&from, &to, first, second, Gdiplus::WrapModeTile, brush.Out()),
                   "GdipCreateLineBrush", __LINE__);
}

// The GDI+ font of a window font. GDI+ knows only real families: a face
// that GDI substitutes (the stock "MS Shell Dlg") is looked up under the
// face GDI really selects for it.
bool CreateEffectFont(const GdiplusApi& gp, HDC hDC, HFONT hFont, Font& font)
{
    LOGFONTW lf = {};
    if (hFont == nullptr || ::GetObjectW(hFont, sizeof(lf), &lf) == 0) {
        return !Failed(gp.GdipCreateFontFromDC(hDC, font.Out()), "GdipCreateFontFromDC", __LINE__);
    }
    if (gp.GdipCreateFontFromLogfontW(hDC, &lf, font.Out()) == Gdiplus::Ok) {
        return true;
    }
    int copied = 0;
    {
        utility::ScopedSelection selected(hDC, hFont);
        copied = ::GetTextFaceW(hDC, LF_FACESIZE, lf.lfFaceName);
    }
    if (copied == 0) {
        common::log("CLabelUI::PaintEffectText", __LINE__, L"GetTextFaceW failed lastError = %d",
                    static_cast<int>(::GetLastError()));
        return false;
    }
    return !Failed(gp.GdipCreateFontFromLogfontW(hDC, &lf, font.Out()), "GdipCreateFontFromLogfontW", __LINE__);
}

}  // namespace

bool CLabelUI::PaintEffectText(HDC hDC, const RECT& rcText, const CUiString& source)
{
    if (!m_gdiplus.IsStarted() || m_pManager == nullptr) {
        return false;
    }
    const GdiplusApi& gp = m_gdiplus.Api();
    CUiString text(source);
    CUiManager::ProcessLanguageText(text);
    const int length = text.GetLength();
    const float width = static_cast<float>(rcText.right - rcText.left);
    const float height = static_cast<float>(rcText.bottom - rcText.top);
    if (length == 0 || width <= 0.0f || height <= 0.0f) {
        return true;  // nothing to draw
    }

    Graphics graphics(gp.GdipDeleteGraphics);
    if (Failed(gp.GdipCreateFromHDC(hDC, graphics.Out()), "GdipCreateFromHDC", __LINE__)) {
        return false;
    }
    gp.GdipSetTextRenderingHint(graphics.Get(), Gdiplus::TextRenderingHintAntiAlias);

    Font font(gp.GdipDeleteFont);
    if (!CreateEffectFont(gp, hDC, m_pManager->GetFont(m_iFont), font)) {
        return false;
    }

    StringFormat format(gp.GdipDeleteStringFormat);
    if (Failed(gp.GdipCreateStringFormat(0, LANG_NEUTRAL, format.Out()), "GdipCreateStringFormat", __LINE__)) {
        return false;
    }
    Gdiplus::StringAlignment lineAlign = (m_uTextStyle & DT_VCENTER) != 0  ? Gdiplus::StringAlignmentCenter
                                         : (m_uTextStyle & DT_BOTTOM) != 0 ? Gdiplus::StringAlignmentFar
                                                                           : Gdiplus::StringAlignmentNear;
    Gdiplus::StringAlignment align = (m_uTextStyle & DT_CENTER) != 0  ? Gdiplus::StringAlignmentCenter
                                     : (m_uTextStyle & DT_RIGHT) != 0 ? Gdiplus::StringAlignmentFar
                                                                      : Gdiplus::StringAlignmentNear;
    gp.GdipSetStringFormatLineAlign(format.Get(), lineAlign);
    gp.GdipSetStringFormatAlign(format.Get(), align);

    const float left = static_cast<float>(rcText.left);
    const float top = static_cast<float>(rcText.top);
    const Gdiplus::RectF layout(left, top, width, height);
    const Gdiplus::RectF shadow(left + m_ShadowOffset.x, top + m_ShadowOffset.y, width, height);

    // The gradients start at the text rectangle, wherever the label lies.
    const float gradientEnd = m_iGradientLength != 0 ? static_cast<float>(m_iGradientLength) : height;
    const float angle = static_cast<float>(m_iGradientAngle);
    const DWORD textColor = m_dwTextColor;
    const DWORD textColor1 = m_dwTextColor1 == 0xFFFFFFFF ? textColor : m_dwTextColor1;
    LineBrush textBrush(gp.GdipDeleteBrush);
    if (!MakeLineBrush(gp, textBrush, left + angle, top, left, top + gradientEnd, textColor, textColor1)) {
        return false;
    }

    if (m_bEnableLuminous) {
        // The text drawn into A, shrunk into B and stretched back: a blurred copy.
        const int cx = rcText.right - rcText.left;
        const int cy = rcText.bottom - rcText.top;
        int smallCx = static_cast<int>(cx / m_fLuminousFuzzy);
        int smallCy = static_cast<int>(cy / m_fLuminousFuzzy);
        smallCx = smallCx < 1 ? 1 : smallCx;
        smallCy = smallCy < 1 ? 1 : smallCy;
        Bitmap full(gp.GdipDisposeImage);
        Bitmap reduced(gp.GdipDisposeImage);
        Graphics fullGraphics(gp.GdipDeleteGraphics);
        Graphics reducedGraphics(gp.GdipDeleteGraphics);
        LineBrush glowBrush(gp.GdipDeleteBrush);
        if (!Failed(gp.GdipCreateBitmapFromScan0(cx, cy, 0, PixelFormat32bppARGB, nullptr, full.Out()),
                    "GdipCreateBitmapFromScan0", __LINE__) &&
            !Failed(gp.GdipCreateBitmapFromScan0(smallCx, smallCy, 0, PixelFormat32bppARGB, nullptr, reduced.Out()),
                    "GdipCreateBitmapFromScan0", __LINE__) &&
            !Failed(gp.GdipGetImageGraphicsContext(full.Get(), fullGraphics.Out()), "GdipGetImageGraphicsContext",
                    __LINE__) &&
            !Failed(gp.GdipGetImageGraphicsContext(reduced.Get(), reducedGraphics.Out()), "GdipGetImageGraphicsContext",
                    __LINE__) &&
            MakeLineBrush(gp, glowBrush, angle, 0.0f, 0.0f, gradientEnd, textColor, textColor1)) {
            gp.GdipSetSmoothingMode(fullGraphics.Get(), Gdiplus::SmoothingModeAntiAlias);
            gp.GdipSetTextRenderingHint(fullGraphics.Get(), Gdiplus::TextRenderingHintAntiAlias);
            gp.GdipSetCompositingQuality(fullGraphics.Get(), Gdiplus::CompositingQualityAssumeLinear);
            gp.GdipSetInterpolationMode(reducedGraphics.Get(), Gdiplus::InterpolationModeHighQualityBicubic);
            gp.GdipSetPixelOffsetMode(reducedGraphics.Get(), Gdiplus::PixelOffsetModeNone);
            const Gdiplus::RectF local(0.0f, 0.0f, width, height);
            gp.GdipDrawString(fullGraphics.Get(), text, length, font.Get(), &local, format.Get(), glowBrush.Get());
            gp.GdipDrawImageRectI(reducedGraphics.Get(), full.Get(), 0, 0, smallCx, smallCy);
            gp.GdipGraphicsClear(fullGraphics.Get(), 0);
            gp.GdipDrawImageRect(fullGraphics.Get(), reduced.Get(), m_ShadowOffset.x, m_ShadowOffset.y, width, height);
            gp.GdipDrawImageRectI(graphics.Get(), full.Get(), rcText.left, rcText.top, cx, cy);
        }
    }

    if (m_bEnableStroke && m_dwStrokeColor != 0) {
        SolidBrush strokeBrush(gp.GdipDeleteBrush);
        if (!Failed(gp.GdipCreateSolidFill(m_dwStrokeColor, strokeBrush.Out()), "GdipCreateSolidFill", __LINE__)) {
            const float shifts[4][2] = {{-1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 1.0f}};
            for (const auto& shift : shifts) {
                Gdiplus::RectF moved(left + shift[0], top + shift[1], width, height);
                gp.GdipDrawString(graphics.Get(), text, length, font.Get(), &moved, format.Get(), strokeBrush.Get());
            }
        }
    }

    if (m_bEnableShadow && (m_dwTextShadowColorA != 0 || m_dwTextShadowColorB != 0)) {
        const DWORD shadowB = m_dwTextShadowColorB == 0xFFFFFFFF ? m_dwTextShadowColorA : m_dwTextShadowColorB;
        LineBrush shadowBrush(gp.GdipDeleteBrush);
        if (MakeLineBrush(gp, shadowBrush, shadow.X + angle, shadow.Y, shadow.X, shadow.Y + gradientEnd,
                          m_dwTextShadowColorA, shadowB)) {
            gp.GdipDrawString(graphics.Get(), text, length, font.Get(), &shadow, format.Get(), shadowBrush.Get());
        }
    }

    gp.GdipDrawString(graphics.Get(), text, length, font.Get(), &layout, format.Get(), textBrush.Get());
    return true;
}

}  // namespace SkinUI
