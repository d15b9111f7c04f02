#include "skinui/controls/gif_anim_ui.h"

#include <memory>

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// GDI+'s time dimension of animated images.
const GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
// The image property holding one 32-bit delay per frame.
const PROPID kFrameDelayProperty = 0x5100;

}  // namespace

CGifAnimUI::CGifAnimUI()
    : m_pImage(nullptr),
      m_pStream(nullptr),
      m_nFrameCount(0),
      m_nFramePosition(0),
      m_bHasDelays(false),
      m_bAutoPlay(true),
      m_bAutoSize(false),
      m_bPlaying(false),
      m_nLoopsLeft(kLoops)
{
}

CGifAnimUI::~CGifAnimUI()
{
    if (m_pManager != nullptr) {
        m_pManager->KillTimer(this, GIF_TIMER_ID);
    }
    FreeGif();
}

const wchar_t* CGifAnimUI::GetClass() const { return L"GifAnim"; }

LPVOID CGifAnimUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"GifAnim") == 0) {
        return static_cast<CGifAnimUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

void CGifAnimUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    if (visible) {
        PlayGif();
    } else {
        StopGif();
    }
}

void CGifAnimUI::DoInit()
{
    if (m_pImage == nullptr) {
        LoadGif();
    }
}

void CGifAnimUI::DoEvent(UiEvent& event)
{
    if (event.Type == UIEVENT_TIMER && event.wParam == GIF_TIMER_ID) {
        OnTimer();
    }
}

void CGifAnimUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"bkimage") == 0) {
        SetBkImage(value);
    } else if (wcscmp(name, L"autoplay") == 0) {
        SetAutoPlay(wcscmp(value, L"true") == 0);
    } else if (wcscmp(name, L"autosize") == 0) {
        SetAutoSize(wcscmp(value, L"true") == 0);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CGifAnimUI::SetBkImage(const wchar_t* source)
{
    if (source == nullptr || source[0] == L'\0' || m_sBkImage == source) {
        return;
    }
    m_sBkImage = source;
    StopGif();
    FreeGif();
    Invalidate();
}

bool CGifAnimUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) {
        return true;
    }
    if (m_pImage == nullptr) {
        LoadGif();
    }
    DrawFrame(hDC);
    return true;
}

UINT CGifAnimUI::GetFrameDelayMs(UINT frame) const
{
    // An image may carry fewer delays than frames, or none at all.
    const UINT delay = frame < m_delays.size() ? m_delays[frame] * 10 : 0;
    return delay != 0 ? delay : static_cast<UINT>(kDefaultDelayMs);
}

void CGifAnimUI::LoadGif()
{
    if (m_sBkImage.IsEmpty() || !m_gdiplus.IsStarted()) {
        return;
    }
    DWORD size = 0;
    std::unique_ptr<BYTE[]> data(CUiManager::LoadSkinData(m_sBkImage, size));
    if (data == nullptr || size == 0) {
        // Not a skin file: the name is a file on disk, a relative one taken
        // from the working folder.
        data = utility::ufile::readWholeFile(m_sBkImage.GetData(), size);
    }
    if (data == nullptr || size == 0) {
        common::log("CGifAnimUI::LoadGif", __LINE__, L"image %s not found lastError = %d", m_sBkImage.GetData(),
                    static_cast<int>(::GetLastError()));
        return;
    }
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    void* copy = memory != nullptr ? ::GlobalLock(memory) : nullptr;
    if (copy == nullptr) {
        common::log("CGifAnimUI::LoadGif", __LINE__, L"no memory for %lu bytes lastError = %d", size,
                    static_cast<int>(::GetLastError()));
        if (memory != nullptr) {
            ::GlobalFree(memory);
        }
        return;
    }
    memcpy(copy, data.get(), size);
    ::GlobalUnlock(memory);
    // The stream frees the memory when it is released, after the image.
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        common::log("CGifAnimUI::LoadGif", __LINE__, L"no stream on the image of %s", m_sBkImage.GetData());
        ::GlobalFree(memory);
        return;
    }
    const GdiplusApi& api = m_gdiplus.Api();
    Gdiplus::GpImage* image = nullptr;
    if (api.GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok || image == nullptr) {
        common::log("CGifAnimUI::LoadGif", __LINE__, L"%s is no image GDI+ reads", m_sBkImage.GetData());
        stream->Release();
        return;
    }
    m_pImage = image;
    m_pStream = stream;

    UINT dimensions = 0;
    m_nFrameCount = 0;
    if (api.GdipImageGetFrameDimensionsCount(image, &dimensions) == Gdiplus::Ok && dimensions > 0) {
        std::vector<GUID> ids(dimensions);
        if (api.GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) == Gdiplus::Ok) {
            api.GdipImageGetFrameCount(image, &ids[0], &m_nFrameCount);
        }
    }
    m_delays.clear();
    m_bHasDelays = false;
    UINT propertySize = 0;
    if (api.GdipGetPropertyItemSize(image, kFrameDelayProperty, &propertySize) == Gdiplus::Ok &&
        propertySize >= sizeof(Gdiplus::PropertyItem)) {
        std::vector<BYTE> buffer(propertySize);
        Gdiplus::PropertyItem* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
        if (api.GdipGetPropertyItem(image, kFrameDelayProperty, propertySize, item) == Gdiplus::Ok &&
            item->value != nullptr) {
            // Only the delays that lie inside the property's own buffer.
            const BYTE* begin = static_cast<const BYTE*>(item->value);
            const BYTE* end = buffer.data() + buffer.size();
            UINT count = item->length / sizeof(UINT);
            if (begin < buffer.data() || begin > end) {
                count = 0;
            } else if (count > static_cast<UINT>((end - begin) / sizeof(UINT))) {
                count = static_cast<UINT>((end - begin) / sizeof(UINT));
            }
            m_delays.resize(count);
            if (count > 0) {
                memcpy(m_delays.data(), begin, count * sizeof(UINT));
            }
            m_bHasDelays = true;
        }
    }
    if (m_bAutoSize) {
        UINT width = 0;
        UINT height = 0;
        api.GdipGetImageWidth(image, &width);
        api.GdipGetImageHeight(image, &height);
        SetFixedWidth(static_cast<int>(width));
        SetFixedHeight(static_cast<int>(height));
    }
    if (m_bAutoPlay && m_bHasDelays) {
        PlayGif();
    }
}

void CGifAnimUI::FreeGif()
{
    if (m_pImage != nullptr && m_gdiplus.IsStarted()) {
        m_gdiplus.Api().GdipDisposeImage(m_pImage);
    }
    m_pImage = nullptr;
    if (m_pStream != nullptr) {
        m_pStream->Release();
        m_pStream = nullptr;
    }
    m_delays.clear();
    m_bHasDelays = false;
    m_nFrameCount = 0;
    m_nFramePosition = 0;
}

void CGifAnimUI::PlayGif()
{
    if (m_bPlaying || m_pImage == nullptr || m_nFrameCount == 0 || m_pManager == nullptr) {
        return;
    }
    if (m_pManager->SetTimer(this, GIF_TIMER_ID, GetFrameDelayMs(m_nFramePosition))) {
        m_bPlaying = true;
    }
}

void CGifAnimUI::PauseGif()
{
    if (!m_bPlaying) {
        return;
    }
    if (m_pManager != nullptr) {
        m_pManager->KillTimer(this, GIF_TIMER_ID);
    }
    Invalidate();
    m_bPlaying = false;
}

void CGifAnimUI::StopGif()
{
    PauseGif();
    if (m_nFramePosition != 0) {
        m_nFramePosition = 0;
        Invalidate();
    }
}

void CGifAnimUI::OnTimer()
{
    if (m_pManager == nullptr) {
        return;
    }
    m_pManager->KillTimer(this, GIF_TIMER_ID);
    Invalidate();
    if (m_nFrameCount == 0) {
        m_bPlaying = false;
        return;
    }
    if (++m_nFramePosition >= m_nFrameCount) {
        --m_nLoopsLeft;
    }
    if (m_nLoopsLeft > 0) {
        m_nFramePosition %= m_nFrameCount;
        m_pManager->SetTimer(this, GIF_TIMER_ID, GetFrameDelayMs(m_nFramePosition));
        return;
    }
    m_bPlaying = false;
    m_nFramePosition = m_nFrameCount - 1;
    if (m_finished) {
        m_finished();
    }
}

void CGifAnimUI::DrawFrame(HDC hDC)
{
    if (m_pImage == nullptr || hDC == nullptr) {
        return;
    }
    const GdiplusApi& api = m_gdiplus.Api();
    api.GdipImageSelectActiveFrame(m_pImage, &kFrameDimensionTime, m_nFramePosition);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (api.GdipCreateFromHDC(hDC, &graphics) != Gdiplus::Ok || graphics == nullptr) {
        common::log("CGifAnimUI::DrawFrame", __LINE__, L"no GDI+ graphics on the paint context");
        return;
    }
    api.GdipDrawImageRectI(graphics, m_pImage, m_rcItem.left, m_rcItem.top, m_rcItem.right - m_rcItem.left,
                           m_rcItem.bottom - m_rcItem.top);
    api.GdipDeleteGraphics(graphics);
}

}  // namespace SkinUI
