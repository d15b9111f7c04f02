// CGdiplusSession: GDI+ for the whole process, started once and shared.
// Every user of GDI+ (labels with text effects) holds a session object for
// as long as it may draw with GDI+. The first session loads gdiplus.dll from
// the system folder (never a copy beside the program), looks up the flat-API
// functions below by name and starts GDI+; the last one to go shuts it down
// and frees the DLL, so no user can pull GDI+ from under another.
#pragma once

#include <windows.h>

#include <gdiplus.h>

namespace SkinUI {

// The GDI+ flat-API functions the framework draws with.
struct GdiplusApi {
    decltype(&Gdiplus::GdiplusStartup) GdiplusStartup;
    decltype(&Gdiplus::GdiplusShutdown) GdiplusShutdown;
    decltype(&Gdiplus::DllExports::GdipCreateFromHDC) GdipCreateFromHDC;
    decltype(&Gdiplus::DllExports::GdipDeleteGraphics) GdipDeleteGraphics;
    decltype(&Gdiplus::DllExports::GdipGetImageGraphicsContext) GdipGetImageGraphicsContext;
    decltype(&Gdiplus::DllExports::GdipGraphicsClear) GdipGraphicsClear;
    decltype(&Gdiplus::DllExports::GdipSetTextRenderingHint) GdipSetTextRenderingHint;
    decltype(&Gdiplus::DllExports::GdipSetSmoothingMode) GdipSetSmoothingMode;
    decltype(&Gdiplus::DllExports::GdipSetCompositingQuality) GdipSetCompositingQuality;
    decltype(&Gdiplus::DllExports::GdipSetInterpolationMode) GdipSetInterpolationMode;
    decltype(&Gdiplus::DllExports::GdipSetPixelOffsetMode) GdipSetPixelOffsetMode;
    decltype(&Gdiplus::DllExports::GdipCreateFontFromDC) GdipCreateFontFromDC;
    decltype(&Gdiplus::DllExports::GdipCreateFontFromLogfontW) GdipCreateFontFromLogfontW;
    decltype(&Gdiplus::DllExports::GdipDeleteFont) GdipDeleteFont;
    decltype(&Gdiplus::DllExports::GdipCreateStringFormat) GdipCreateStringFormat;
    decltype(&Gdiplus::DllExports::GdipDeleteStringFormat) GdipDeleteStringFormat;
    decltype(&Gdiplus::DllExports::GdipSetStringFormatAlign) GdipSetStringFormatAlign;
    decltype(&Gdiplus::DllExports::GdipSetStringFormatLineAlign) GdipSetStringFormatLineAlign;
    decltype(&Gdiplus::DllExports::GdipCreateLineBrush) GdipCreateLineBrush;
    decltype(&Gdiplus::DllExports::GdipCreateSolidFill) GdipCreateSolidFill;
    decltype(&Gdiplus::DllExports::GdipDeleteBrush) GdipDeleteBrush;
    decltype(&Gdiplus::DllExports::GdipCreateBitmapFromScan0) GdipCreateBitmapFromScan0;
    decltype(&Gdiplus::DllExports::GdipDisposeImage) GdipDisposeImage;
    decltype(&Gdiplus::DllExports::GdipDrawImageRect) GdipDrawImageRect;
    decltype(&Gdiplus::DllExports::GdipDrawImageRectI) GdipDrawImageRectI;
    decltype(&Gdiplus::DllExports::GdipDrawString) GdipDrawString;
    // Images loaded from memory and their frames (animated GIFs).
    decltype(&Gdiplus::DllExports::GdipLoadImageFromStream) GdipLoadImageFromStream;
    decltype(&Gdiplus::DllExports::GdipGetImageWidth) GdipGetImageWidth;
    decltype(&Gdiplus::DllExports::GdipGetImageHeight) GdipGetImageHeight;
    decltype(&Gdiplus::DllExports::GdipImageGetFrameDimensionsCount) GdipImageGetFrameDimensionsCount;
    decltype(&Gdiplus::DllExports::GdipImageGetFrameDimensionsList) GdipImageGetFrameDimensionsList;
    decltype(&Gdiplus::DllExports::GdipImageGetFrameCount) GdipImageGetFrameCount;
    decltype(&Gdiplus::DllExports::GdipImageSelectActiveFrame) GdipImageSelectActiveFrame;
    decltype(&Gdiplus::DllExports::GdipGetPropertyItemSize) GdipGetPropertyItemSize;
    decltype(&Gdiplus::DllExports::GdipGetPropertyItem) GdipGetPropertyItem;
};

class CGdiplusSession {
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    // True while GDI+ runs for this session (false when gdiplus.dll could
    // not be loaded or the start failed: draw without GDI+ then).
    bool IsStarted() const { return m_bStarted; }
    // The functions of the running GDI+; only while IsStarted().
    const GdiplusApi& Api() const;

    // Sessions alive in the process and whether GDI+ is running now.
    static int GetSessionCount();
    static bool IsRunning();
    // Test hook: later starts act as if gdiplus.dll could not be loaded.
    static void SetUnavailable(bool unavailable);

private:
    bool m_bStarted;
};

}  // namespace SkinUI
