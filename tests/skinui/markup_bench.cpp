// Mark-up text benchmark: lays out and draws one mark-up text of the given
// length (words, bold, colour, link, underline and italic tags, line and
// paragraph breaks) with word breaking into a 32-bit memory DIB, several
// rounds, and prints the best round. It also checks what it drew: text in
// every round, inside the rectangle the layout measured and down to its last
// line, every link recorded there, and the same pixels in every round.
//   skinui_markup_bench.exe [CHARS] [ROUNDS]     (defaults 20000 and 5)
// Last line printed: markup_<CHARS/1000>k_ms=<best milliseconds> identical=<yes|no>
// (exit code 1 with identical=no).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_manager.h"

namespace {

// The same text on every run: a fixed pseudo-random sequence of words and tags.
std::wstring MakeMarkup(size_t chars)
{
    static const wchar_t* const kWords[] = {L"launcher", L"emulator", L"package", L"download", L"the", L"game",
                                            L"update",   L"version",  L"folder",  L"start",    L"a",   L"settings",
                                            L"language", L"progress", L"install", L"of"};
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    std::wstring text;
    std::wstring piece;
    while (text.size() < chars) {
        const std::wstring word = kWords[next(16)];
        switch (next(12)) {
        case 0:
            piece = L"<b>" + word + L"</b> ";
            break;
        case 1:
            piece = L"<c #C03030>" + word + L"</c> ";
            break;
        case 2:
            piece = L"<a " + word + L">" + word + L"</a> ";
            break;
        case 3:
            piece = L"<u>" + word + L"</u> ";
            break;
        case 4:
            piece = L"<i>" + word + L"</i> ";
            break;
        case 5:
            piece = next(4) == 0 ? L"<n>" : word + L", ";
            break;
        case 6:
            piece = next(8) == 0 ? L"<p 4>" + word + L"</p>" : word + L". ";
            break;
        default:
            piece = word + L" ";
            break;
        }
        text += piece;
    }
    // Cut at the last blank before the length, so that no tag is cut in two.
    size_t cut = text.rfind(L' ', chars);
    text.resize(cut == std::wstring::npos ? chars : cut);
    return text;
}

// What one round drew on the background.
struct Drawn {
    unsigned long long hash = 14695981039346656037ull;  // FNV-1a of every pixel
    long inked = 0;                                     // pixels that are not background
    int bottom = 0;                                     // one below the lowest inked row
    int right = 0;                                      // one right of the rightmost inked column
};

Drawn Look(const DWORD* pixels, int width, int height, DWORD background)
{
    Drawn drawn;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const DWORD pixel = pixels[y * width + x];
            for (int shift = 0; shift < 32; shift += 8) {
                drawn.hash = (drawn.hash ^ ((pixel >> shift) & 0xFF)) * 1099511628211ull;
            }
            if (pixel != background) {
                ++drawn.inked;
                drawn.bottom = y + 1;
                drawn.right = std::max(drawn.right, x + 1);
            }
        }
    }
    return drawn;
}

double NowMs()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const size_t chars = argc > 1 ? static_cast<size_t>(_wtoi(argv[1])) : 20000;
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 5;
    if (chars < 100 || rounds < 1) {
        fwprintf(stderr, L"usage: skinui_markup_bench [CHARS >= 100] [ROUNDS >= 1]\n");
        return 2;
    }
    const std::wstring text = MakeMarkup(chars);

    SkinUI::CUiManager manager;
    manager.InitFontSet(L"Tahoma");
    // Tall enough for every line of the text at 600 pixels.
    const int width = 600;
    const int height = static_cast<int>(chars / 4) + 200;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc == nullptr || bitmap == nullptr) {
        fwprintf(stderr, L"memory DC of %dx%d not created, error %lu\n", width, height, ::GetLastError());
        return 1;
    }
    HGDIOBJ old = ::SelectObject(dc, bitmap);

    // The text has one size: its last line ends within this many pixels of
    // the measured height.
    TEXTMETRICW tm = {};
    HGDIOBJ oldFont = ::SelectObject(dc, manager.GetFont(0));
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, oldFont);
    // Every link in the text is recorded, up to the room given: once, or once
    // on each line when a line ends inside it.
    const int kLinkRoom = 64;
    int linksInText = 0;
    for (size_t at = text.find(L"<a "); at != std::wstring::npos; at = text.find(L"<a ", at + 1))
        ++linksInText;
    const int linksExpected = std::min(linksInText, kLinkRoom);

    const DWORD background = 0x00FFFFFF;
    DWORD* pixels = static_cast<DWORD*>(bits);
    double best = 0;
    int lines = 0;
    int linkCount = 0;
    Drawn first;
    bool identical = true;
    for (int round = 0; round < rounds; ++round) {
        std::fill(pixels, pixels + width * height, background);
        RECT measure = {0, 0, width, height};
        RECT rc = measure;
        RECT links[kLinkRoom] = {};
        SkinUI::CUiString linkTexts[kLinkRoom];
        linkCount = kLinkRoom;
        const double start = NowMs();
        int none = 0;
        SkinUI::CDrawKit::DrawHtmlText(dc, &manager, measure, text.c_str(), 0xFF000000, nullptr, nullptr, none, 0,
                                       DT_WORDBREAK | DT_CALCRECT);
        SkinUI::CDrawKit::DrawHtmlText(dc, &manager, rc, text.c_str(), 0xFF000000, links, linkTexts, linkCount, 0,
                                       DT_WORDBREAK);
        const double elapsed = NowMs() - start;
        if (round == 0 || elapsed < best)
            best = elapsed;
        lines = measure.bottom - measure.top;

        ::GdiFlush();
        const Drawn drawn = Look(pixels, width, height, background);
        if (round == 0)
            first = drawn;
        const bool fits = drawn.inked > 0 && drawn.bottom <= lines && drawn.bottom > lines - tm.tmHeight &&
                          drawn.right <= measure.right - measure.left && lines < height;
        bool linksInside = true;
        for (int i = 0; i < linkCount; ++i) {
            const RECT& link = links[i];
            linksInside = linksInside && link.left >= measure.left && link.left <= link.right &&
                          link.right <= measure.right && link.top >= measure.top && link.top < link.bottom &&
                          link.bottom <= measure.bottom;
        }
        if (!fits || linkCount < linksExpected || !linksInside || drawn.hash != first.hash) {
            fwprintf(stderr,
                     L"round %d: %ld pixels inked down to row %d and column %d, measured %dx%d (line %d); "
                     L"%d links for %d, %ls inside; pixels %ls the first round's\n",
                     round + 1, drawn.inked, drawn.bottom, drawn.right, static_cast<int>(measure.right - measure.left),
                     lines, static_cast<int>(tm.tmHeight), linkCount, linksExpected, linksInside ? L"all" : L"not all",
                     drawn.hash == first.hash ? L"as" : L"unlike");
            identical = false;
        }
    }
    wprintf(L"text: %u characters, %d pixels of lines at %d pixels wide, %ld pixels inked, %d links, best of %d "
            L"rounds\n",
            static_cast<unsigned>(text.size()), lines, width, first.inked, linkCount, rounds);
    wprintf(L"markup_%uk_ms=%.1f identical=%ls\n", static_cast<unsigned>(chars / 1000), best,
            identical ? L"yes" : L"no");
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return identical ? 0 : 1;
}
