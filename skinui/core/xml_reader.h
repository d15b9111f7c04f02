// CXmlReader: parses the small XML subset of skin files in place into a flat
// table of elements; CXmlNode walks that table.
//
// Accepted: elements with double-quoted attributes, the five named entities,
// comments and processing instructions (skipped), and a document that ends
// without closing its top element.
#pragma once

#include <windows.h>

namespace SkinUI {

enum UiXmlEncoding {
    UIXML_ENCODING_UTF8 = 0,   // a leading byte-order mark is skipped
    UIXML_ENCODING_UTF16 = 1,  // byte-order mark required (LE or BE)
    UIXML_ENCODING_ANSI = 2,   // the ANSI code page
};

class CXmlReader;

class CXmlNode {
public:
    enum { MAX_XML_ATTRIBUTES = 64 };

    CXmlNode();

    bool IsValid() const;
    const wchar_t* GetName() const;
    CXmlNode GetChild() const;
    CXmlNode GetSibling() const;
    bool HasChildren() const;
    bool HasAttributes() const;

    // Only the first 64 attributes of an element are visible.
    int GetAttributeCount() const;
    // Empty text when the index is out of range.
    const wchar_t* GetAttributeName(int index) const;
    const wchar_t* GetAttributeValue(int index) const;
    // Null when the element has no attribute of that (case-sensitive) name.
    const wchar_t* GetAttributeValue(const wchar_t* name) const;
    // Copies the value, cut to size units with its terminator; false when absent.
    bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, SIZE_T size) const;

private:
    friend class CXmlReader;
    CXmlNode(const CXmlReader* owner, ULONG pos);
    void MapAttributes() const;

    const CXmlReader* m_pOwner;
    ULONG m_iPos;
    // Filled on first attribute access: (name offset, value offset) pairs.
    mutable bool m_bMapped;
    mutable int m_nAttributes;
    mutable ULONG m_aAttributes[MAX_XML_ATTRIBUTES * 2];
};

class CXmlReader {
public:
    explicit CXmlReader(const wchar_t* text = nullptr);
    ~CXmlReader();
    CXmlReader(const CXmlReader&) = delete;
    CXmlReader& operator=(const CXmlReader&) = delete;

    // Every load releases the previous document first; a failed parse
    // leaves no document and keeps the error message and location.
    bool LoadFromString(const wchar_t* text);
    bool LoadFromMem(const BYTE* data, DWORD size, int encoding = UIXML_ENCODING_UTF8);
    // The skin file of that name: the skin folder on disk, then the skin archive.
    bool LoadFromFile(const wchar_t* name, int encoding = UIXML_ENCODING_UTF8);
    void Release();

    // Element 1, invalid when the document has no element.
    CXmlNode GetRoot() const;

    void GetLastErrorMessage(wchar_t* buffer, SIZE_T size) const;
    void GetLastErrorLocation(wchar_t* buffer, SIZE_T size) const;
    const wchar_t* GetLastErrorMessage() const { return m_szErrorMsg; }
    const wchar_t* GetLastErrorLocation() const { return m_szErrorXml; }

private:
    friend class CXmlNode;

    struct XmlElement {
        ULONG iStart;   // name offset in the text
        ULONG iChild;   // first child, 0 = none
        ULONG iNext;    // next sibling, 0 = none
        ULONG iParent;  // parent element
        ULONG iData;    // text after the start tag, or the "/" of an empty element
    };

    bool TakeText(wchar_t* text, SIZE_T length);
    bool Parse();
    XmlElement* AddElement(ULONG iStart, ULONG iParent, ULONG iPrev);
    bool ParseAttributes(wchar_t*& p);
    bool ParseValue(wchar_t*& p);
    bool Fail(const wchar_t* message, const wchar_t* location);
    // Releases the document, then records the message with no location.
    bool FailLoad(const wchar_t* message);
    ULONG Offset(const wchar_t* p) const { return static_cast<ULONG>(p - m_pstrXml); }

    wchar_t* m_pstrXml;
    XmlElement* m_pElements;
    ULONG m_nElements;
    ULONG m_nReservedElements;
    wchar_t m_szErrorMsg[100];
    wchar_t m_szErrorXml[50];
};

}  // namespace SkinUI
