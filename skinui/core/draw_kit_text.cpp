// CDrawKit, text: plain text with the language substitution, and the mark-up
// text of DrawHtmlText.
//
// Mark-up: a tag opens with "<" or "{", a lower-case letter and then a blank,
// ">" or "}", and ends at the next ">" or "}"; a closing tag has "/" before
// its letter. Tags: a (link), b (bold), c (colour), f (font), h and z (pen x),
// i (italic, or an inline image when it has an argument), n (line break),
// p (paragraph), r (raw text), s (selection), u (underline), v (vertical
// alignment), x (move pen x), y (line height). "<{>" "<}>" "{<}" "{>}" draw
// the bracket between them.
//
// Each line is laid out twice: a measuring pass finds its height, width and
// end, then the state at the line start is restored and the drawing pass
// draws it with the final line height, so vertical alignment covers the line.
#include "skinui/core/draw_kit.h"

#include <stdlib.h>
#include <wchar.h>
#include <wctype.h>

#include <vector>

#include "foundation/log.h"
#include "foundation/scoped_gdi.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// Pen x for the tags h and z when the text colour is this grey.
const DWORD kFixedPenColor = 0xFF17171A;
const int kFixedPenH = 322;
const int kFixedPenZ = 354;

enum Align { kAlignBottom = 0, kAlignCenter = 1, kAlignTop = 2 };

// Text holding a letter of a right-to-left script (Hebrew, Arabic, Persian and
// their presentation forms) is read from right to left; its alignment stays.
bool HasRightToLeftLetters(const wchar_t* text, int count)
{
    for (int i = 0; i < count && text[i] != L'\0'; ++i) {
        const wchar_t c = text[i];
        if ((c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF)) {
            return true;
        }
    }
    return false;
}

struct FontState {
    HFONT font;
    TEXTMETRICW tm;
};

// Everything a tag can change; copied at each line start so that the drawing
// pass starts from the same state as the measuring pass.
struct MarkupState {
    std::vector<FontState> fonts;  // [0] is the base font, never popped
    std::vector<COLORREF> colors;  // [0] is the base colour, never popped
    std::vector<int> paragraphs;   // spacing of the open paragraphs
    std::vector<int> aligns;       // open v tags
    std::vector<bool> fontFromLink;
    bool raw = false;
    bool selected = false;
    bool inLink = false;
    CUiString linkText;
    int linkLeft = 0;
};

struct Tag {
    wchar_t letter = 0;
    bool closing = false;
    CUiString arg;
    size_t end = 0;  // index after the closing bracket
};

struct LineResult {
    size_t end = 0;
    int width = 0;
    int height = 0;
    bool finished = false;  // no further line
};

// What a word-broken line never breaks after: the letters, digits and marks of
// alphabetic scripts, accented ones included, so that a word stays whole.
// Chinese, Japanese and Korean characters stand each on its own.
bool IsWordLetter(wchar_t ch)
{
    if ((ch >= 0x2E80 && ch <= 0x9FFF) || (ch >= 0xAC00 && ch <= 0xD7AF) || (ch >= 0xF900 && ch <= 0xFAFF) ||
        (ch >= 0xFF00 && ch <= 0xFFEF)) {
        return false;
    }
    WORD type = 0;
    return iswalnum(ch) != 0 ||
           (::GetStringTypeW(CT_CTYPE3, &ch, 1, &type) && (type & (C3_NONSPACING | C3_DIACRITIC)) != 0);
}

bool IsOpenBracket(wchar_t ch) { return ch == L'<' || ch == L'{'; }
bool IsCloseBracket(wchar_t ch) { return ch == L'>' || ch == L'}'; }

// The text being laid out, with the index of the next closing bracket at or
// after every position, so that every probe for a tag or an escape takes
// constant time and a layout stays linear in the length of the text.
class MarkupText {
public:
    explicit MarkupText(const CUiString& text)
        : m_chars(text.GetData()), m_length(static_cast<size_t>(text.GetLength())), m_nextClose(m_length + 1)
    {
        m_nextClose[m_length] = m_length;
        for (size_t i = m_length; i-- > 0;) {
            m_nextClose[i] = IsCloseBracket(m_chars[i]) ? i : m_nextClose[i + 1];
        }
    }

    size_t Length() const { return m_length; }
    wchar_t At(size_t pos) const { return m_chars[pos]; }
    const wchar_t* From(size_t pos) const { return m_chars + pos; }

    // The bracket drawn by an escape at pos, or 0.
    wchar_t EscapeAt(size_t pos) const
    {
        if (pos + 2 >= m_length) {
            return 0;
        }
        wchar_t a = m_chars[pos], b = m_chars[pos + 1], c = m_chars[pos + 2];
        if (a == L'<' && (b == L'{' || b == L'}') && c == L'>')
            return b;
        if (a == L'{' && (b == L'<' || b == L'>') && c == L'}')
            return b;
        return 0;
    }

    // Whether a tag starts at pos; its letter, whether it closes, and the
    // index of its closing bracket.
    bool TagAt(size_t pos, wchar_t& letter, bool& closing, size_t& close) const
    {
        if (pos >= m_length || !IsOpenBracket(m_chars[pos])) {
            return false;
        }
        size_t p = pos + 1;
        closing = p < m_length && m_chars[p] == L'/';
        if (closing)
            ++p;
        if (p + 1 >= m_length) {
            return false;
        }
        letter = m_chars[p];
        wchar_t next = m_chars[p + 1];
        if (letter < L'a' || letter > L'z' || !(next == L' ' || IsCloseBracket(next))) {
            return false;
        }
        close = m_nextClose[p + 1];
        return close < m_length;
    }

    bool ParseTag(size_t pos, Tag& tag) const
    {
        size_t close = 0;
        if (!TagAt(pos, tag.letter, tag.closing, close)) {
            return false;
        }
        size_t argStart = pos + (tag.closing ? 3 : 2);
        while (argStart < close && m_chars[argStart] == L' ')
            ++argStart;
        tag.arg = CUiString(m_chars + argStart, static_cast<int>(close - argStart));
        tag.end = close + 1;
        return true;
    }

    // Whether the closing tag of raw text starts at pos.
    bool RawEndAt(size_t pos) const
    {
        wchar_t letter = 0;
        bool closing = false;
        size_t close = 0;
        return TagAt(pos, letter, closing, close) && closing && letter == L'r';
    }

    // Whether a tag (outside raw text) or an escape starts at pos.
    bool MarkupAt(size_t pos) const
    {
        wchar_t letter = 0;
        bool closing = false;
        size_t close = 0;
        return EscapeAt(pos) != 0 || TagAt(pos, letter, closing, close);
    }

private:
    const wchar_t* m_chars;
    size_t m_length;
    std::vector<size_t> m_nextClose;
};

COLORREF RgbOf(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

class HtmlLayout {
public:
    HtmlLayout(HDC hDC, CUiManager* manager, const RECT& rc, DWORD textColor, UINT style, RECT* links,
               CUiString* linkTexts, int linkCapacity)
        : m_hDC(hDC),
          m_manager(manager),
          m_rc(rc),
          m_textColor(textColor),
          m_style(style),
          m_links(links),
          m_linkTexts(linkTexts),
          m_linkCapacity(linkCapacity)
    {
        m_singleLine = (style & DT_SINGLELINE) != 0;
        m_ellipsis = (style & DT_END_ELLIPSIS) != 0;
        m_wordBreak = (style & DT_WORDBREAK) != 0;
        m_measureOnly = (style & DT_CALCRECT) != 0;
    }

    void SetHoverLink(const CUiString& text, bool any)
    {
        m_hoverText = text;
        m_hasHover = any;
    }

    // Lays out (and unless measuring, draws) the whole text. Returns the used size.
    SIZE Run(const CUiString& source, int font)
    {
        const MarkupText text(source);
        m_text = &text;
        MarkupState state;
        state.fonts.push_back(MakeFont(m_manager->GetFont(font)));
        state.colors.push_back(RgbOf(m_textColor));
        ::SetBkMode(m_hDC, TRANSPARENT);
        ::SetBkColor(m_hDC, RgbOf(m_manager->GetDefaultSelectedBkColor()));

        SIZE used = {0, 0};
        int lineTop = m_rc.top;
        size_t pos = 0;
        const size_t length = text.Length();
        while (pos < length && lineTop < m_rc.bottom) {
            MarkupState atStart = state;
            LineResult measured = Line(state, pos, lineTop, 0, 0, false);
            if (!m_measureOnly) {
                state = atStart;
                int offset = 0;
                int free = (m_rc.right - m_rc.left) - measured.width;
                if (!m_singleLine && free > 0) {
                    if ((m_style & DT_CENTER) != 0)
                        offset = free / 2;
                    else if ((m_style & DT_RIGHT) != 0)
                        offset = free;
                }
                Line(state, pos, lineTop, measured.height, offset, true);
            }
            if (measured.width > used.cx)
                used.cx = measured.width;
            used.cy += measured.height;
            lineTop += measured.height;
            if (measured.finished || measured.end <= pos) {
                break;
            }
            pos = measured.end;
            if (m_singleLine) {
                break;
            }
        }
        RestoreFont();
        m_text = nullptr;
        return used;
    }

    int GetLinkCount() const { return m_linkCount; }

private:
    FontState MakeFont(HFONT font)
    {
        FontState fs;
        fs.font = font;
        fs.tm = TEXTMETRICW();
        m_font.select(m_hDC, font);
        ::GetTextMetricsW(m_hDC, &fs.tm);
        return fs;
    }

    void RestoreFont() { m_font.restore(); }

    // The first font id that holds no font yet.
    int NextFreeFontId()
    {
        HFONT fallback = m_manager->GetDefaultFontInfo()->hFont;
        for (int id = 0; id < 10000; ++id) {
            if (m_manager->GetFont(id) == fallback)
                return id;
        }
        return 10000;
    }

    HFONT FindOrAddFont(const wchar_t* face, int size, bool bold, bool underline, bool italic)
    {
        HFONT font = m_manager->GetFont(face, size, bold, underline, italic);
        if (font == nullptr) {
            font = m_manager->AddFont(NextFreeFontId(), face, size, bold, underline, italic);
        }
        return font;
    }

    // The current font with one more of bold, underline, italic.
    FontState Variant(const MarkupState& state, bool bold, bool underline, bool italic)
    {
        const UiFontInfo* info = m_manager->GetFontInfo(state.fonts.back().font);
        HFONT font = FindOrAddFont(info->sFontName, info->iSize, info->bBold || bold, info->bUnderline || underline,
                                   info->bItalic || italic);
        return MakeFont(font != nullptr ? font : state.fonts.back().font);
    }

    FontState FontFromTag(const MarkupState& state, const CUiString& arg)
    {
        const wchar_t* p = arg;
        if (*p >= L'0' && *p <= L'9') {
            int id = _wtoi(p);
            if (CUiManager::IsEnlargeMode())
                id += 3;
            return MakeFont(m_manager->GetFont(id));
        }
        // face [size] [bold] [underline] [italic]
        CUiString face;
        int size = 12;
        bool bold = false, underline = false, italic = false;
        int index = 0;
        while (*p != L'\0') {
            while (*p == L' ')
                ++p;
            const wchar_t* start = p;
            while (*p != L'\0' && *p != L' ')
                ++p;
            CUiString word(start, static_cast<int>(p - start));
            if (word.IsEmpty())
                break;
            if (index == 0)
                face = word;
            else if (word == L"bold")
                bold = true;
            else if (word == L"underline")
                underline = true;
            else if (word == L"italic")
                italic = true;
            else if (word[0] >= L'0' && word[0] <= L'9')
                size = _wtoi(word);
            ++index;
        }
        if (face.IsEmpty()) {
            return state.fonts.back();
        }
        HFONT font = FindOrAddFont(face, size, bold, underline, italic);
        return MakeFont(font != nullptr ? font : state.fonts.back().font);
    }

    int BaseLineHeight(const MarkupState& state) const
    {
        const TEXTMETRICW& tm = state.fonts.back().tm;
        int spacing = state.paragraphs.empty() ? 0 : state.paragraphs.back();
        return tm.tmHeight + tm.tmExternalLeading + spacing;
    }

    int AlignedTop(const MarkupState& state, int lineTop, int lineHeight, int itemHeight) const
    {
        int align = state.aligns.empty() ? kAlignBottom : state.aligns.back();
        if (align == kAlignTop)
            return lineTop;
        if (align == kAlignCenter)
            return lineTop + (lineHeight - itemHeight) / 2;
        return lineTop + lineHeight - itemHeight;
    }

    void RecordLink(const MarkupState& state, int right, int lineTop, int lineHeight)
    {
        if (m_links == nullptr || m_linkCount >= m_linkCapacity) {
            return;
        }
        m_links[m_linkCount] = {state.linkLeft, lineTop, right, lineTop + lineHeight};
        if (m_linkTexts != nullptr)
            m_linkTexts[m_linkCount] = state.linkText;
        ++m_linkCount;
    }

    void PopFont(MarkupState& state)
    {
        if (state.fonts.size() > 1) {
            state.fonts.pop_back();
            m_font.select(m_hDC, state.fonts.back().font);
        }
    }

    void PushFont(MarkupState& state, const FontState& font)
    {
        state.fonts.push_back(font);
        m_font.select(m_hDC, font.font);
    }

    int TextWidth(const wchar_t* text, int count)
    {
        SIZE size = {0, 0};
        if (count > 0)
            ::GetTextExtentPoint32W(m_hDC, text, count, &size);
        return size.cx;
    }

    void DrawRun(const MarkupState& state, int x, int y, const wchar_t* text, int count)
    {
        if (count <= 0)
            return;
        ::SetTextColor(m_hDC, state.colors.back());
        ::SetBkMode(m_hDC, state.selected ? OPAQUE : TRANSPARENT);
        const UINT reading = HasRightToLeftLetters(text, count) ? ETO_RTLREADING : 0;
        ::ExtTextOutW(m_hDC, x, y, reading, nullptr, text, static_cast<UINT>(count), nullptr);
    }

    // Inline image "<i name [count] [index]>" or "<i file='..' res='..' restype='..' [count] [index]>".
    bool LoadInlineImage(const CUiString& arg, const UiImageInfo*& image, RECT& source)
    {
        CUiString name, type;
        const wchar_t* rest = arg;
        if (arg.Find(L"file='") >= 0 || arg.Find(L"res='") >= 0) {
            const wchar_t* p = arg;
            while (*p != L'\0') {
                while (*p == L' ')
                    ++p;
                const wchar_t* keyStart = p;
                while (*p != L'\0' && *p != L'=' && *p != L' ')
                    ++p;
                if (*p != L'=' || p[1] != L'\'') {
                    p = keyStart;
                    break;
                }
                CUiString key(keyStart, static_cast<int>(p - keyStart));
                p += 2;
                const wchar_t* valueStart = p;
                while (*p != L'\0' && *p != L'\'')
                    ++p;
                CUiString value(valueStart, static_cast<int>(p - valueStart));
                if (*p == L'\'')
                    ++p;
                if (key == L"file" || key == L"res")
                    name = value;
                else if (key == L"restype")
                    type = value;
            }
            rest = p;
        } else {
            const wchar_t* p = arg;
            while (*p != L'\0' && *p != L' ')
                ++p;
            name = CUiString(arg.GetData(), static_cast<int>(p - arg.GetData()));
            rest = p;
        }
        wchar_t* end = nullptr;
        int count = static_cast<int>(wcstol(rest, &end, 10));
        int index = static_cast<int>(wcstol(end, nullptr, 10));
        if (count < 1)
            count = 1;
        if (index < 0 || index >= count)
            index = 0;
        image = m_manager->GetImageEx(name, type.IsEmpty() ? nullptr : type.GetData());
        if (image == nullptr) {
            return false;
        }
        int frameWidth = image->nX / count;
        source = {frameWidth * index, 0, frameWidth * (index + 1), image->nY};
        return frameWidth > 0;
    }

    LineResult Line(MarkupState& state, size_t pos, int lineTop, int drawHeight, int offset, bool draw);

    // The end of the text run that starts at pos, looked for before limit;
    // cut tells whether the scan stopped at limit before the end of the text.
    size_t RunEnd(const MarkupState& state, size_t pos, size_t limit, bool& cut) const
    {
        const MarkupText& text = *m_text;
        size_t end = pos + 1;
        for (; end < limit; ++end) {
            wchar_t c = text.At(end);
            if (c == L' ' || c == L'\n' || c == L'\r')
                break;
            if (state.raw ? text.RawEndAt(end) : text.MarkupAt(end))
                break;
        }
        cut = end == limit && limit < text.Length();
        return end;
    }

    HDC m_hDC;
    CUiManager* m_manager;
    RECT m_rc;
    DWORD m_textColor;
    UINT m_style;
    RECT* m_links;
    CUiString* m_linkTexts;
    int m_linkCapacity;
    int m_linkCount = 0;
    CUiString m_hoverText;
    bool m_hasHover = false;
    bool m_singleLine = false;
    bool m_ellipsis = false;
    bool m_wordBreak = false;
    bool m_measureOnly = false;
    const MarkupText* m_text = nullptr;  // during Run
    utility::ScopedSelection m_font;     // the DC's own font comes back at the end of Run
};

LineResult HtmlLayout::Line(MarkupState& state, size_t pos, int lineTop, int drawHeight, int offset, bool draw)
{
    const MarkupText& text = *m_text;
    const size_t length = text.Length();
    const int lineLeft = m_rc.left + offset;
    const int right = m_rc.right;
    int x = lineLeft;
    int height = BaseLineHeight(state);
    bool lineHasItems = false;
    m_font.select(m_hDC, state.fonts.back().font);
    if (state.inLink)
        state.linkLeft = x;

    LineResult result;
    auto finishLine = [&](size_t end, bool finished) {
        if (draw && state.inLink)
            RecordLink(state, x, lineTop, drawHeight);
        result.end = end;
        result.width = x - lineLeft;
        result.height = height;
        result.finished = finished;
        return result;
    };
    const int itemLineHeight = draw ? drawHeight : 0;

    while (pos < length) {
        wchar_t ch = text.At(pos);
        if (ch == L'\r') {
            ++pos;
            continue;
        }
        if (ch == L'\n') {
            return finishLine(pos + 1, m_singleLine);
        }
        Tag tag;
        wchar_t escaped = state.raw ? 0 : text.EscapeAt(pos);
        bool isTag = !escaped && text.ParseTag(pos, tag) && (!state.raw || (tag.closing && tag.letter == L'r'));
        if (isTag) {
            const size_t tagStart = pos;
            pos = tag.end;
            if (tag.closing) {
                switch (tag.letter) {
                case L'a':
                    if (state.inLink) {
                        if (draw)
                            RecordLink(state, x, lineTop, drawHeight);
                        state.inLink = false;
                        if (state.colors.size() > 1)
                            state.colors.pop_back();
                        PopFont(state);
                    }
                    break;
                case L'b':
                case L'f':
                case L'u':
                    PopFont(state);
                    break;
                case L'i':
                    if (state.fonts.size() > 1) {
                        PopFont(state);
                        x += TextWidth(L" ", 1) / 2;
                    }
                    break;
                case L'c':
                    if (state.colors.size() > 1)
                        state.colors.pop_back();
                    break;
                case L'p':
                    if (!state.paragraphs.empty()) {
                        state.paragraphs.pop_back();
                        if (lineHasItems && !m_singleLine)
                            return finishLine(pos, false);
                    }
                    break;
                case L's':
                    state.selected = !state.selected;
                    break;
                case L'v':
                    if (!state.aligns.empty())
                        state.aligns.pop_back();
                    break;
                case L'r':
                    state.raw = false;
                    break;
                default:
                    break;
                }
                continue;
            }
            switch (tag.letter) {
            case L'a': {
                state.inLink = true;
                state.linkText = tag.arg;
                state.linkLeft = x;
                bool hover = m_hasHover && m_hoverText == tag.arg;
                DWORD color = hover ? m_manager->GetDefaultLinkHoverFontColor() : m_manager->GetDefaultLinkFontColor();
                state.colors.push_back(RgbOf(color));
                PushFont(state, Variant(state, false, true, false));
                break;
            }
            case L'b':
                PushFont(state, Variant(state, true, false, false));
                break;
            case L'u':
                PushFont(state, Variant(state, false, true, false));
                break;
            case L'c':
                state.colors.push_back(RgbOf(ParseColor(tag.arg)));
                break;
            case L'f':
                PushFont(state, FontFromTag(state, tag.arg));
                break;
            case L'h':
                x = lineLeft + (m_textColor == kFixedPenColor ? kFixedPenH : _wtoi(tag.arg));
                break;
            case L'z':
                x = lineLeft + (m_textColor == kFixedPenColor ? kFixedPenZ : _wtoi(tag.arg));
                break;
            case L'x':
                x += _wtoi(tag.arg);
                break;
            case L'y':
                height = _wtoi(tag.arg);
                break;
            case L'n':
                if (!m_singleLine)
                    return finishLine(pos, false);
                break;
            case L'p': {
                state.paragraphs.push_back(_wtoi(tag.arg));
                if (lineHasItems && !m_singleLine)
                    return finishLine(pos, false);
                int base = BaseLineHeight(state);
                if (base > height)
                    height = base;
                break;
            }
            case L'r':
                state.raw = true;
                break;
            case L's':
                state.selected = !state.selected;
                break;
            case L'v':
                state.aligns.push_back(tag.arg == L"center" ? kAlignCenter
                                                            : (tag.arg == L"top" ? kAlignTop : kAlignBottom));
                break;
            case L'i': {
                if (tag.arg.IsEmpty()) {
                    PushFont(state, Variant(state, false, false, true));
                    break;
                }
                const UiImageInfo* image = nullptr;
                RECT source = {0, 0, 0, 0};
                if (!LoadInlineImage(tag.arg, image, source)) {
                    break;
                }
                int w = source.right - source.left;
                int h = source.bottom - source.top;
                if (x + w > right && lineHasItems && !m_singleLine) {
                    return finishLine(tagStart, false);  // the image starts the next line
                }
                if (h > height)
                    height = h;
                if (draw) {
                    int top = AlignedTop(state, lineTop, itemLineHeight, h);
                    RECT dest = {x, top, x + w, top + h};
                    RECT corners = {0, 0, 0, 0};
                    CDrawKit::DrawImage(m_hDC, image->hBitmap, dest, m_rc, source, corners, image->bAlpha);
                    m_font.select(m_hDC, state.fonts.back().font);
                }
                x += w;
                lineHasItems = true;
                break;
            }
            default:
                break;
            }
            continue;
        }

        // A run: one blank, one escaped bracket, or text up to a blank, a tag or a line break.
        // A run that may wrap is scanned and measured in doubling steps until
        // it ends or stops fitting, so a long word costs each line about the
        // characters that line takes, not the whole rest of the word.
        const int available = right - x;
        const wchar_t single = escaped;
        const wchar_t* runText = single != 0 ? &single : text.From(pos);
        size_t runEnd = pos + 1;
        int runLength = 1;
        int fit = 0;
        SIZE extent = {0, 0};
        size_t step = (m_singleLine && !m_ellipsis) ? length : 64;
        for (;;) {
            bool cut = false;
            if (escaped) {
                runEnd = pos + 3;
            } else if (ch != L' ') {
                runEnd = RunEnd(state, pos, step < length - pos ? pos + step : length, cut);
                runLength = static_cast<int>(runEnd - pos);
            }
            ::GetTextExtentExPointW(m_hDC, runText, runLength, available > 0 ? available : 0, &fit, nullptr, &extent);
            if (!cut || fit < runLength) {
                break;
            }
            step *= 2;
        }
        const TEXTMETRICW& tm = state.fonts.back().tm;
        const int runHeight = tm.tmHeight + tm.tmExternalLeading;
        if (fit >= runLength || (m_singleLine && !m_ellipsis)) {
            if (runHeight > height)
                height = runHeight;
            if (draw)
                DrawRun(state, x, AlignedTop(state, lineTop, itemLineHeight, tm.tmHeight), runText, runLength);
            x += extent.cx;
            lineHasItems = true;
            pos = runEnd;
            continue;
        }

        // The run does not fit.
        const bool lastLine = m_singleLine || lineTop + height + runHeight > m_rc.bottom;
        if (m_ellipsis && lastLine) {
            int cut = fit - 2;
            if (cut < 0)
                cut = 0;  // never step back before the start of the run
            int dots = TextWidth(L"...", 3);
            while (cut > 0 && TextWidth(runText, cut) + dots > available)
                --cut;
            if (runHeight > height)
                height = runHeight;
            if (draw) {
                int top = AlignedTop(state, lineTop, itemLineHeight, tm.tmHeight);
                DrawRun(state, x, top, runText, cut);
                DrawRun(state, x + TextWidth(runText, cut), top, L"...", 3);
            }
            x += TextWidth(runText, cut) + dots;
            if (x > right)
                x = right;
            return finishLine(length, true);
        }
        if (ch == L' ' && !single) {
            return finishLine(runEnd, false);  // a blank at the right edge ends the line
        }
        int take = fit;
        if (m_wordBreak) {
            int lastBreak = -1;
            for (int i = 0; i < fit; ++i) {
                if (!IsWordLetter(runText[i]))
                    lastBreak = i;
            }
            take = lastBreak >= 0 ? lastBreak + 1 : 0;
        }
        if (take == 0 && !lineHasItems) {
            take = fit > 0 ? fit : 1;  // a line holds at least one character
        }
        if (take > 0 && single == 0) {
            if (runHeight > height)
                height = runHeight;
            if (draw)
                DrawRun(state, x, AlignedTop(state, lineTop, itemLineHeight, tm.tmHeight), runText, take);
            x += TextWidth(runText, take);
            return finishLine(pos + static_cast<size_t>(take), false);
        }
        if (take > 0) {  // an escaped bracket that does not fit on an empty line
            if (runHeight > height)
                height = runHeight;
            if (draw)
                DrawRun(state, x, AlignedTop(state, lineTop, itemLineHeight, tm.tmHeight), runText, 1);
            x += extent.cx;
            return finishLine(runEnd, false);
        }
        return finishLine(pos, false);
    }
    return finishLine(length, true);
}

// Right-to-left text without mark-up, laid out by the system, which orders
// its words from the right (the mark-up runs are placed from the left), with
// the mark-up drawer's alignment and measuring.
void DrawRightToLeftText(HDC hDC, CUiManager* manager, RECT& rc, const wchar_t* text, DWORD color, int font, UINT style)
{
    const UINT layout = (style & (DT_SINGLELINE | DT_WORDBREAK | DT_CENTER | DT_RIGHT | DT_END_ELLIPSIS)) |
                        DT_RTLREADING | DT_NOPREFIX;
    HGDIOBJ oldFont = ::SelectObject(hDC, manager->GetFont(font));
    RECT used = rc;
    ::DrawTextW(hDC, text, -1, &used, layout | DT_CALCRECT);
    if ((style & DT_CALCRECT) != 0) {
        rc.right = rc.left + (used.right - used.left);
        rc.bottom = rc.top + (used.bottom - used.top);
    } else {
        RECT target = rc;
        const int height = used.bottom - used.top;
        UINT drawn = layout;
        if ((style & DT_SINGLELINE) != 0) {
            drawn |= style & (DT_VCENTER | DT_BOTTOM);  // the system aligns a single line itself
        } else if ((style & DT_VCENTER) != 0) {
            target.top += ((rc.bottom - rc.top) - height) / 2;
        } else if ((style & DT_BOTTOM) != 0) {
            target.top = rc.bottom - height;
        }
        if (target.top < rc.top)
            target.top = rc.top;
        const int oldMode = ::SetBkMode(hDC, TRANSPARENT);
        const COLORREF oldColor = ::SetTextColor(hDC, CDrawKit::ToColorRef(color));
        ::DrawTextW(hDC, text, -1, &target, drawn);
        ::SetTextColor(hDC, oldColor);
        ::SetBkMode(hDC, oldMode);
    }
    ::SelectObject(hDC, oldFont);
}

}  // namespace

void CDrawKit::DrawText(HDC hDC, CUiManager* manager, RECT& rc, const wchar_t* text, DWORD color, int font, UINT style)
{
    if (hDC == nullptr || manager == nullptr || text == nullptr) {
        return;
    }
    CUiString shown(text);
    CUiManager::ProcessLanguageText(shown);
    int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(hDC, ToColorRef(color));
    const UINT reading = HasRightToLeftLetters(shown, shown.GetLength()) ? DT_RTLREADING : 0;
    {
        utility::ScopedSelection selected(hDC, manager->GetFont(font));
        ::DrawTextW(hDC, shown, -1, &rc, style | reading | DT_NOPREFIX);
    }
    ::SetTextColor(hDC, oldColor);
    ::SetBkMode(hDC, oldMode);
}

void CDrawKit::DrawHtmlText(HDC hDC, CUiManager* manager, RECT& rc, const wchar_t* text, DWORD color, RECT* links,
                            CUiString* linkTexts, int& linkCount, int font, UINT style)
{
    const int capacity = linkCount;
    linkCount = 0;
    if (hDC == nullptr || manager == nullptr || text == nullptr || text[0] == L'\0' || ::IsRectEmpty(&rc)) {
        return;
    }
    const bool measureOnly = (style & DT_CALCRECT) != 0;
    CUiString shown(text);
    CUiManager::ProcessLanguageText(shown);
    if (HasRightToLeftLetters(shown, shown.GetLength()) && wcspbrk(shown, L"<{") == nullptr) {
        DrawRightToLeftText(hDC, manager, rc, shown, color, font, style);
        return;
    }

    if (!measureOnly && (style & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) != 0) {
        const bool single = (style & DT_SINGLELINE) != 0;
        RECT measure = single ? RECT{0, 0, 9999, 100} : RECT{0, 0, rc.right - rc.left, rc.bottom - rc.top};
        int noLinks = 0;
        DrawHtmlText(hDC, manager, measure, text, color, nullptr, nullptr, noLinks, font, style | DT_CALCRECT);
        const int width = measure.right - measure.left;
        const int height = measure.bottom - measure.top;
        if (single && (style & DT_CENTER) != 0) {
            rc.left += ((rc.right - rc.left) - width) / 2;
            rc.right = rc.left + width;
        } else if (single && (style & DT_RIGHT) != 0) {
            rc.left = rc.right - width;
        }
        if ((style & DT_VCENTER) != 0) {
            rc.top += ((rc.bottom - rc.top) - height) / 2;
            rc.bottom = rc.top + height;
        } else if ((style & DT_BOTTOM) != 0) {
            rc.top = rc.bottom - height;
        }
    }

    // The link under the mouse, from the rectangles of the previous paint.
    CUiString hoverText;
    bool hasHover = false;
    if (links != nullptr && linkTexts != nullptr) {
        POINT mouse = manager->GetMousePos();
        for (int i = 0; i < capacity; ++i) {
            if (::PtInRect(&links[i], mouse)) {
                hoverText = linkTexts[i];
                hasHover = true;
                break;
            }
        }
    }

    int saved = ::SaveDC(hDC);
    SIZE used = {0, 0};
    {
        CDrawClip clip;
        if (!measureOnly) {
            CDrawClip::GenerateClip(hDC, rc, clip);
        }
        HtmlLayout layout(hDC, manager, rc, color, style, links, linkTexts, capacity);
        layout.SetHoverLink(hoverText, hasHover);
        used = layout.Run(shown, font);
        linkCount = layout.GetLinkCount();
    }
    ::RestoreDC(hDC, saved);
    if (measureOnly) {
        rc.right = rc.left + used.cx;
        rc.bottom = rc.top + used.cy;
    }
}

}  // namespace SkinUI
