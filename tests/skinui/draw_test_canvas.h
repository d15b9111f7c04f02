// Helpers for the drawing tests: a memory DC over a 32-bit DIB whose pixels
// the test reads, and uncompressed 32-bit TGA images written to disk.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace drawtest {

class Canvas {
public:
    Canvas(int width, int height, DWORD fill = 0xFF000000) : m_width(width), m_height(height)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        m_hDC = ::CreateCompatibleDC(nullptr);
        m_hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        Fill(fill);
    }
    ~Canvas()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_hDC; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void Fill(DWORD argb)
    {
        ::GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = argb;
    }
    // 0xAARRGGBB as stored (GDI may leave the alpha byte at 0).
    DWORD At(int x, int y) const
    {
        ::GdiFlush();
        return m_bits[y * m_width + x];
    }
    DWORD Rgb(int x, int y) const { return At(x, y) & 0x00FFFFFF; }
    // Pixels whose colour differs from the background colour.
    int CountNot(DWORD rgb) const
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (Rgb(x, y) != (rgb & 0x00FFFFFF)) ++count;
        return count;
    }
    // Bounding box of the pixels that differ from the background colour (empty when none).
    RECT Bounds(DWORD rgb) const
    {
        RECT rc = {m_width, m_height, 0, 0};
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (Rgb(x, y) != (rgb & 0x00FFFFFF)) {
                    if (x < rc.left) rc.left = x;
                    if (y < rc.top) rc.top = y;
                    if (x + 1 > rc.right) rc.right = x + 1;
                    if (y + 1 > rc.bottom) rc.bottom = y + 1;
                }
        if (rc.right == 0) rc = {0, 0, 0, 0};
        return rc;
    }

private:
    int m_width;
    int m_height;
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    DWORD* m_bits = nullptr;
};

inline BYTE Red(DWORD c) { return static_cast<BYTE>(c >> 16); }
inline BYTE Green(DWORD c) { return static_cast<BYTE>(c >> 8); }
inline BYTE Blue(DWORD c) { return static_cast<BYTE>(c); }
inline BYTE Alpha(DWORD c) { return static_cast<BYTE>(c >> 24); }

// An uncompressed, top-down 32-bit TGA of straight (not premultiplied) ARGB pixels.
inline std::string MakeTga(int width, int height, const std::vector<DWORD>& argb)
{
    std::string out(18, '\0');
    out[2] = 2;  // uncompressed true-colour
    out[12] = static_cast<char>(width & 0xFF);
    out[13] = static_cast<char>(width >> 8);
    out[14] = static_cast<char>(height & 0xFF);
    out[15] = static_cast<char>(height >> 8);
    out[16] = 32;
    out[17] = 0x28;  // top-left origin, 8 alpha bits
    for (DWORD c : argb) {
        out.push_back(static_cast<char>(Blue(c)));
        out.push_back(static_cast<char>(Green(c)));
        out.push_back(static_cast<char>(Red(c)));
        out.push_back(static_cast<char>(Alpha(c)));
    }
    return out;
}

}  // namespace drawtest
