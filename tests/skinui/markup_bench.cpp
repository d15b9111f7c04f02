// Mark-up text benchmark: lays out and draws one mark-up text of the given
// length (words, bold, colour, link, underline and italic tags, line and
// paragraph breaks) with word breaking into a 32-bit memory DIB, several
// rounds, and prints the best round.
//   skinui_markup_bench.exe [CHARS] [ROUNDS]     (defaults 20000 and 5)
// Last line printed: markup_<CHARS/1000>k_ms=<best milliseconds>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_manager.h"

namespace {

// The same text on every run: a fixed pseudo-random sequence of words and tags.
std::wstring MakeMarkup(size_t chars)
{
    static const wchar_t* const kWords[] = {L"launcher", L"emulator", L"package", L"download", L"the",
                                            L"game", L"update", L"version", L"folder", L"start", L"a",
                                            L"settings", L"language", L"progress", L"install", L"of"};
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
        case 0: piece = L"<b>" + word + L"</b> "; break;
        case 1: piece = L"<c #C03030>" + word + L"</c> "; break;
        case 2: piece = L"<a " + word + L">" + word + L"</a> "; break;
        case 3: piece = L"<u>" + word + L"</u> "; break;
        case 4: piece = L"<i>" + word + L"</i> "; break;
        case 5: piece = next(4) == 0 ? L"<n>" : word + L", "; break;
        case 6: piece = next(8) == 0 ? L"<p 4>" + word + L"</p>" : word + L". "; break;
        default: piece = word + L" "; break;
        }
        text += piece;
    }
    // Cut at the last blank before the length, so that no tag is cut in two.
    size_t cut = text.rfind(L' ', chars);
    text.resize(cut == std::wstring::npos ? chars : cut);
    return text;
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

    double best = 0;
    int lines = 0;
    for (int round = 0; round < rounds; ++round) {
        RECT measure = {0, 0, width, height};
        RECT rc = measure;
        RECT links[64] = {};
        SkinUI::CUiString linkTexts[64];
        int linkCount = 64;
        const double start = NowMs();
        int none = 0;
        SkinUI::CDrawKit::DrawHtmlText(dc, &manager, measure, text.c_str(), 0xFF000000, nullptr, nullptr, none, 0,
                                       DT_WORDBREAK | DT_CALCRECT);
        SkinUI::CDrawKit::DrawHtmlText(dc, &manager, rc, text.c_str(), 0xFF000000, links, linkTexts, linkCount, 0,
                                       DT_WORDBREAK);
        const double elapsed = NowMs() - start;
        if (round == 0 || elapsed < best) best = elapsed;
        lines = measure.bottom - measure.top;
    }
    wprintf(L"text: %u characters, %d pixels of lines at %d pixels wide, best of %d rounds\n",
            static_cast<unsigned>(text.size()), lines, width, rounds);
    wprintf(L"markup_%uk_ms=%.1f\n", static_cast<unsigned>(chars / 1000), best);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return 0;
}
