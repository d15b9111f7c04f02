#include "skinui/core/xml_reader.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <wctype.h>

#include "foundation/log.h"

namespace SkinUI {

namespace {

const wchar_t kEmpty[] = L"";

bool IsNameChar(wchar_t ch) { return ch == L'_' || ch == L':' || (ch != L'\0' && iswalnum(ch)); }

// Blanks, tabs, line breaks and every other character up to 0x20; never the end.
wchar_t* SkipWhitespace(wchar_t* p)
{
    while (*p != L'\0' && *p <= L' ') {
        ++p;
    }
    return p;
}

// Copies text into buffer, cut to size units including the terminator.
void CopyCut(wchar_t* buffer, SIZE_T size, const wchar_t* text)
{
    if (buffer == nullptr || size == 0) {
        return;
    }
    SIZE_T i = 0;
    for (; i + 1 < size && text[i] != L'\0'; ++i) {
        buffer[i] = text[i];
    }
    buffer[i] = L'\0';
}

struct Entity {
    const wchar_t* text;
    size_t length;
    wchar_t ch;
};

const Entity kEntities[] = {
    {L"&amp;", 5, L'&'}, {L"&lt;", 4, L'<'}, {L"&gt;", 4, L'>'}, {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''},
};

}  // namespace

// ---------------------------------------------------------------- CXmlNode

CXmlNode::CXmlNode() : m_pOwner(nullptr), m_iPos(0), m_bMapped(false), m_nAttributes(0) {}

CXmlNode::CXmlNode(const CXmlReader* owner, ULONG pos)
    : m_pOwner(owner), m_iPos(pos), m_bMapped(false), m_nAttributes(0)
{
}

bool CXmlNode::IsValid() const { return m_pOwner != nullptr && m_iPos > 0 && m_iPos < m_pOwner->m_nElements; }

const wchar_t* CXmlNode::GetName() const
{
    if (!IsValid()) {
        return kEmpty;
    }
    return m_pOwner->m_pstrXml + m_pOwner->m_pElements[m_iPos].iStart;
}

CXmlNode CXmlNode::GetChild() const
{
    if (!IsValid() || m_pOwner->m_pElements[m_iPos].iChild == 0) {
        return CXmlNode();
    }
    return CXmlNode(m_pOwner, m_pOwner->m_pElements[m_iPos].iChild);
}

CXmlNode CXmlNode::GetSibling() const
{
    if (!IsValid() || m_pOwner->m_pElements[m_iPos].iNext == 0) {
        return CXmlNode();
    }
    return CXmlNode(m_pOwner, m_pOwner->m_pElements[m_iPos].iNext);
}

bool CXmlNode::HasChildren() const { return IsValid() && m_pOwner->m_pElements[m_iPos].iChild != 0; }

bool CXmlNode::HasAttributes() const { return GetAttributeCount() > 0; }

int CXmlNode::GetAttributeCount() const
{
    MapAttributes();
    return m_nAttributes;
}

const wchar_t* CXmlNode::GetAttributeName(int index) const
{
    MapAttributes();
    if (index < 0 || index >= m_nAttributes) {
        return kEmpty;
    }
    return m_pOwner->m_pstrXml + m_aAttributes[index * 2];
}

const wchar_t* CXmlNode::GetAttributeValue(int index) const
{
    MapAttributes();
    if (index < 0 || index >= m_nAttributes) {
        return kEmpty;
    }
    return m_pOwner->m_pstrXml + m_aAttributes[index * 2 + 1];
}

const wchar_t* CXmlNode::GetAttributeValue(const wchar_t* name) const
{
    MapAttributes();
    if (name == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < m_nAttributes; ++i) {
        if (wcscmp(m_pOwner->m_pstrXml + m_aAttributes[i * 2], name) == 0) {
            return m_pOwner->m_pstrXml + m_aAttributes[i * 2 + 1];
        }
    }
    return nullptr;
}

bool CXmlNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, SIZE_T size) const
{
    const wchar_t* value = GetAttributeValue(name);
    if (value == nullptr) {
        return false;
    }
    CopyCut(buffer, size, value);
    return true;
}

// Walks the attributes the parser left behind the element name: each is
// "name" 0 [blanks] [=] [blanks] '"' "value" 0, and the list ends at the
// start tag's ">" or "/".
void CXmlNode::MapAttributes() const
{
    if (m_bMapped) {
        return;
    }
    m_bMapped = true;
    m_nAttributes = 0;
    if (!IsValid()) {
        return;
    }
    wchar_t* text = m_pOwner->m_pstrXml;
    wchar_t* p = text + m_pOwner->m_pElements[m_iPos].iStart;
    p += wcslen(p) + 1;
    while (m_nAttributes < MAX_XML_ATTRIBUTES) {
        p = SkipWhitespace(p);
        if (*p == L'\0' || *p == L'>' || *p == L'/') {
            return;
        }
        const wchar_t* name = p;
        p += wcslen(p) + 1;
        while (*p != L'\0' && *p != L'"') {
            ++p;
        }
        if (*p != L'"') {
            return;
        }
        ++p;
        m_aAttributes[m_nAttributes * 2] = static_cast<ULONG>(name - text);
        m_aAttributes[m_nAttributes * 2 + 1] = static_cast<ULONG>(p - text);
        ++m_nAttributes;
        p += wcslen(p) + 1;
    }
}

// -------------------------------------------------------------- CXmlReader

CXmlReader::CXmlReader(const wchar_t* text)
    : m_pstrXml(nullptr), m_pElements(nullptr), m_nElements(0), m_nReservedElements(0)
{
    m_szErrorMsg[0] = L'\0';
    m_szErrorXml[0] = L'\0';
    if (text != nullptr) {
        LoadFromString(text);
    }
}

CXmlReader::~CXmlReader() { Release(); }

void CXmlReader::Release()
{
    free(m_pstrXml);
    m_pstrXml = nullptr;
    free(m_pElements);
    m_pElements = nullptr;
    m_nElements = 0;
    m_nReservedElements = 0;
}

void CXmlReader::GetLastErrorMessage(wchar_t* buffer, SIZE_T size) const { CopyCut(buffer, size, m_szErrorMsg); }

void CXmlReader::GetLastErrorLocation(wchar_t* buffer, SIZE_T size) const { CopyCut(buffer, size, m_szErrorXml); }

CXmlNode CXmlReader::GetRoot() const
{
    if (m_nElements < 2) {
        return CXmlNode();
    }
    return CXmlNode(this, 1);
}

bool CXmlReader::LoadFromString(const wchar_t* text)
{
    if (text == nullptr) {
        text = kEmpty;
    }
    // Copy before releasing: the text may come from the current document.
    const size_t length = wcslen(text);
    wchar_t* copy = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
    if (copy == nullptr) {
        Release();
        return Fail(L"Out of memory", kEmpty);
    }
    memcpy(copy, text, (length + 1) * sizeof(wchar_t));
    return TakeText(copy, length);
}

bool CXmlReader::LoadFromMem(const BYTE* data, DWORD size, int encoding)
{
    // The old document goes only once the new text is decoded: data may
    // point into it.
    if (data == nullptr) {
        size = 0;
    }
    if (size > 0x7FFFFFF0) {
        return FailLoad(L"Document too large");
    }
    wchar_t* text = nullptr;
    size_t length = 0;
    if (encoding == UIXML_ENCODING_UTF16) {
        const bool littleEndian = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
        const bool bigEndian = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
        if (!littleEndian && !bigEndian) {
            return FailLoad(L"Missing byte-order mark");
        }
        length = (size - 2) / 2;
        text = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
        if (text == nullptr) {
            return FailLoad(L"Out of memory");
        }
        const BYTE* src = data + 2;
        for (size_t i = 0; i < length; ++i) {
            const BYTE lo = littleEndian ? src[2 * i] : src[2 * i + 1];
            const BYTE hi = littleEndian ? src[2 * i + 1] : src[2 * i];
            text[i] = static_cast<wchar_t>(lo | (hi << 8));
        }
        text[length] = L'\0';
        return TakeText(text, length);
    }
    if (encoding != UIXML_ENCODING_UTF8 && encoding != UIXML_ENCODING_ANSI) {
        return FailLoad(L"Unknown encoding");
    }
    UINT codePage = CP_ACP;
    if (encoding == UIXML_ENCODING_UTF8) {
        codePage = CP_UTF8;
        if (size > 2 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            size -= 3;
        }
    }
    const char* bytes = reinterpret_cast<const char*>(data);
    int units = size == 0 ? 0 : MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), nullptr, 0);
    if (size != 0 && units <= 0) {
        common::log("CXmlReader::LoadFromMem", __LINE__, L"MultiByteToWideChar failed lastError = %d",
                    static_cast<int>(GetLastError()));
        return FailLoad(L"Cannot decode the document");
    }
    text = static_cast<wchar_t*>(malloc((static_cast<size_t>(units) + 1) * sizeof(wchar_t)));
    if (text == nullptr) {
        return FailLoad(L"Out of memory");
    }
    if (units > 0) {
        MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), text, units);
    }
    text[units] = L'\0';
    length = static_cast<size_t>(units);
    return TakeText(text, length);
}

// Adopts a decoded, terminated text as the new document and parses it.
bool CXmlReader::TakeText(wchar_t* text, SIZE_T length)
{
    Release();
    m_szErrorMsg[0] = L'\0';
    m_szErrorXml[0] = L'\0';
    if (length >= 0xFFFFFFF0u) {
        free(text);
        return Fail(L"Document too large", kEmpty);
    }
    m_pstrXml = text;
    if (!Parse()) {
        Release();
        return false;
    }
    return true;
}

bool CXmlReader::FailLoad(const wchar_t* message)
{
    Release();
    return Fail(message, kEmpty);
}

bool CXmlReader::Fail(const wchar_t* message, const wchar_t* location)
{
    CopyCut(m_szErrorMsg, sizeof(m_szErrorMsg) / sizeof(m_szErrorMsg[0]), message);
    CopyCut(m_szErrorXml, sizeof(m_szErrorXml) / sizeof(m_szErrorXml[0]), location);
    common::log("CXmlReader::Fail", __LINE__, L"%s at '%s'", m_szErrorMsg, m_szErrorXml);
    return false;
}

// Appends an element record linked under iParent (behind iPrev when the
// level already has one). Null when memory runs out.
CXmlReader::XmlElement* CXmlReader::AddElement(ULONG iStart, ULONG iParent, ULONG iPrev)
{
    if (m_nElements >= m_nReservedElements) {
        const ULONG reserved = m_nReservedElements + m_nReservedElements / 2 + 500;
        void* block = realloc(m_pElements, reserved * sizeof(XmlElement));
        if (block == nullptr) {
            return nullptr;
        }
        m_pElements = static_cast<XmlElement*>(block);
        m_nReservedElements = reserved;
    }
    const ULONG index = m_nElements++;
    XmlElement* element = &m_pElements[index];
    element->iStart = iStart;
    element->iChild = 0;
    element->iNext = 0;
    element->iParent = iParent;
    element->iData = 0;
    if (index == 0) {
        return element;
    }
    if (iPrev != 0) {
        m_pElements[iPrev].iNext = index;
    } else {
        m_pElements[iParent].iChild = index;
    }
    return element;
}

// Decodes one double-quoted value in place; p is at the opening quote and
// ends behind the closing one. The value is terminated where its decoded
// text ends; what a shorter value leaves behind becomes blanks.
bool CXmlReader::ParseValue(wchar_t*& p)
{
    wchar_t* start = p + 1;
    wchar_t* close = wcschr(start, L'"');
    if (close == nullptr) {
        return Fail(L"Error while parsing attribute string", start);
    }
    wchar_t* read = start;
    wchar_t* write = start;
    while (read < close) {
        bool decoded = false;
        if (*read == L'&') {
            for (const Entity& entity : kEntities) {
                if (wcsncmp(read, entity.text, entity.length) == 0) {
                    *write++ = entity.ch;
                    read += entity.length;
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded) {
            *write++ = *read++;
        }
    }
    *write = L'\0';
    for (wchar_t* x = write + 1; x <= close; ++x) {
        *x = L' ';
    }
    p = close + 1;
    return true;
}

// Attributes of a start tag, up to its ">" or "/". Each name is terminated
// in place (over the "=" or the blank behind it).
bool CXmlReader::ParseAttributes(wchar_t*& p)
{
    for (;;) {
        p = SkipWhitespace(p);
        if (*p == L'>' || *p == L'/') {
            return true;
        }
        while (IsNameChar(*p)) {
            ++p;
        }
        wchar_t* nameEnd = p;
        p = SkipWhitespace(p);
        if (*p != L'=') {
            return Fail(L"Error while parsing attributes", p);
        }
        ++p;
        *nameEnd = L'\0';
        p = SkipWhitespace(p);
        if (*p != L'"') {
            return Fail(L"Expected attribute value", p);
        }
        if (!ParseValue(p)) {
            return false;
        }
    }
}

// One pass over the text. Instead of recursing per level, the current
// parent and the previous element at that level are kept; a closing tag
// returns to the parent's level. Nesting depth therefore costs no stack.
bool CXmlReader::Parse()
{
    m_nElements = 0;
    if (AddElement(0, 0, 0) == nullptr) {
        return Fail(L"Out of memory", kEmpty);
    }
    wchar_t* p = m_pstrXml;
    ULONG parent = 0;
    ULONG prev = 0;
    for (;;) {
        p = SkipWhitespace(p);
        if (*p == L'\0') {
            // A document may end without closing its top element.
            if (parent <= 1) {
                return true;
            }
            return Fail(L"Expected start tag", p);
        }
        if (*p != L'<') {
            return Fail(L"Expected start tag", p);
        }
        if (p[1] == L'/') {
            if (parent == 0) {
                return true;
            }
            wchar_t* closing = p;
            p = SkipWhitespace(p + 2);
            const wchar_t* name = m_pstrXml + m_pElements[parent].iStart;
            const size_t nameLength = wcslen(name);
            if (wcsncmp(p, name, nameLength) != 0) {
                return Fail(L"Unmatched closing tag", closing);
            }
            p = SkipWhitespace(p + nameLength);
            if (*p != L'>') {
                return Fail(L"Unmatched closing tag", closing);
            }
            ++p;
            prev = parent;
            parent = m_pElements[parent].iParent;
            continue;
        }
        if (p[1] == L'!' || p[1] == L'?') {
            const wchar_t* end = wcsstr(p + 2, p[1] == L'!' ? L"->" : L"?>");
            p = end != nullptr ? const_cast<wchar_t*>(end) + 2 : p + wcslen(p);
            continue;
        }
        // A new element. Its name is moved one unit left, over the "<", and
        // terminated over its last unit, so the character behind it stays.
        const ULONG start = Offset(p);
        ++p;
        wchar_t* name = p;
        while (IsNameChar(*p)) {
            ++p;
        }
        if (*p == L'\0') {
            return Fail(L"Error parsing element name", name);
        }
        const size_t nameLength = static_cast<size_t>(p - name);
        memmove(m_pstrXml + start, name, nameLength * sizeof(wchar_t));
        m_pstrXml[start + nameLength] = L'\0';
        if (AddElement(start, parent, prev) == nullptr) {
            return Fail(L"Out of memory", name);
        }
        const ULONG index = m_nElements - 1;
        prev = index;
        if (!ParseAttributes(p)) {
            return false;
        }
        if (*p == L'/') {
            if (p[1] != L'>') {
                return Fail(L"Expected start-tag closing", p);
            }
            m_pElements[index].iData = Offset(p);
            p += 2;
            continue;
        }
        if (*p != L'>') {
            return Fail(L"Expected start-tag closing", p);
        }
        ++p;
        m_pElements[index].iData = Offset(p);
        while (*p != L'\0' && *p != L'<') {
            ++p;
        }
        if (*p == L'\0') {
            if (parent <= 1) {
                return true;
            }
            return Fail(L"Expected end-tag start", p);
        }
        // Children or the closing tag follow at the element's own level.
        parent = index;
        prev = 0;
    }
}

}  // namespace SkinUI
