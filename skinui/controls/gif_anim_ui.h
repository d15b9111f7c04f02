// CGifAnimUI ("GifAnim"): an animated GIF, decoded by GDI+ and stepped
// through its frames with a control timer, each frame shown for its own
// delay (hundredths of a second, 0 meaning 100 ms). It plays by itself once
// loaded ("autoplay"), may take the image's size ("autosize"), stops and
// returns to the first frame when hidden, and stops for good after
// kLoops rounds, calling the finished callback.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <functional>
#include <vector>

#include "skinui/core/control_ui.h"
#include "skinui/core/gdiplus_session.h"

namespace SkinUI {

class CGifAnimUI : public CControlUI {
public:
    enum { GIF_TIMER_ID = 100, kLoops = 9999, kDefaultDelayMs = 100 };

    CGifAnimUI();
    ~CGifAnimUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetVisible(bool visible = true) override;
    void DoInit() override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // The image: a skin resource name or a file path; a new one is loaded at
    // the next paint.
    void SetBkImage(const wchar_t* source);
    const CUiString& GetBkImageSource() const { return m_sBkImage; }
    void SetAutoPlay(bool on) { m_bAutoPlay = on; }
    bool IsAutoPlay() const { return m_bAutoPlay; }
    void SetAutoSize(bool on) { m_bAutoSize = on; }
    bool IsAutoSize() const { return m_bAutoSize; }
    void SetFinishedCallback(std::function<void()> callback) { m_finished = std::move(callback); }

    void PlayGif();
    void PauseGif();
    void StopGif();

    bool IsLoaded() const { return m_pImage != nullptr; }
    bool IsPlaying() const { return m_bPlaying; }
    UINT GetFrameCount() const { return m_nFrameCount; }
    UINT GetCurrentFrame() const { return m_nFramePosition; }
    // The delay of a frame in milliseconds (kDefaultDelayMs where the image
    // gives none or 0).
    UINT GetFrameDelayMs(UINT frame) const;

private:
    void LoadGif();
    void FreeGif();
    void OnTimer();
    void DrawFrame(HDC hDC);

    std::function<void()> m_finished;
    CGdiplusSession m_gdiplus;
    Gdiplus::GpImage* m_pImage;
    // The stream (and the memory under it) the image reads from while it lives.
    IStream* m_pStream;
    UINT m_nFrameCount;
    UINT m_nFramePosition;
    // One entry per delay the image carries (may be fewer than frames).
    std::vector<UINT> m_delays;
    bool m_bHasDelays;
    CUiString m_sBkImage;
    bool m_bAutoPlay;
    bool m_bAutoSize;
    bool m_bPlaying;
    int m_nLoopsLeft;
};

}  // namespace SkinUI
