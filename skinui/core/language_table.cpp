#include "skinui/core/language_table.h"

#include "foundation/log.h"
#include "foundation/ustring.h"

namespace SkinUI {

namespace {

CUiString CellFromUtf8(const BYTE* begin, const BYTE* end)
{
    int length = static_cast<int>(end - begin);
    if (length <= 0) {
        return CUiString();
    }
    const std::wstring wide = utility::ustring::mbToWide(reinterpret_cast<const char*>(begin), length, CP_UTF8);
    if (wide.empty()) {
        common::log("SplitLanguageTable", __LINE__, L"cell is not UTF-8 lastError = %d",
                    static_cast<int>(::GetLastError()));
        return CUiString();
    }
    return CUiString(wide.c_str(), static_cast<int>(wide.size()));
}

bool IsRowBreak(BYTE ch) { return ch == '\r' || ch == '\n'; }

}  // namespace

std::vector<CUiStringRow> SplitLanguageTable(const BYTE* data, DWORD size)
{
    std::vector<CUiStringRow> rows;
    if (data == nullptr) {
        return rows;
    }
    const BYTE* p = data;
    const BYTE* end = data + size;
    while (p < end && *p != 0) {
        while (p < end && (*p == '\t' || IsRowBreak(*p)))
            ++p;
        if (p >= end || *p == 0) {
            break;
        }
        CUiStringRow row;
        const BYTE* cell = p;
        while (true) {
            bool atEnd = p >= end || *p == 0;
            if (atEnd || *p == '\t' || IsRowBreak(*p)) {
                row.push_back(CellFromUtf8(cell, p));
                if (atEnd || IsRowBreak(*p)) {
                    break;
                }
                ++p;  // the TAB
                cell = p;
                continue;
            }
            ++p;
        }
        rows.push_back(row);
    }
    return rows;
}

bool CLanguageTable::Load(const BYTE* data, DWORD size, const wchar_t* languageCode)
{
    std::vector<CUiStringRow> rows = SplitLanguageTable(data, size);
    m_codes = rows.size() > 0 ? rows[0] : CUiStringRow();
    m_names = rows.size() > 1 ? rows[1] : CUiStringRow();
    // The texts of an earlier table go in any case: an unusable table leaves none.
    m_texts.clear();
    if (m_codes.size() < 2 || m_names.size() < 2 || m_names[1] != L"language_name") {
        common::log("CLanguageTable::Load", __LINE__, L"language table has no header rows lastError = %d", 0);
        return false;
    }
    size_t column = 2;
    for (size_t i = 0; i < m_codes.size(); ++i) {
        if (languageCode != nullptr && m_codes[i] == languageCode) {
            column = i;
            break;
        }
    }
    for (size_t r = 2; r < rows.size(); ++r) {
        const CUiStringRow& row = rows[r];
        if (row.size() > column && row.size() > 1) {
            m_texts[row[1]] = row[column];
        }
    }
    return true;
}

const wchar_t* CLanguageTable::Find(const wchar_t* key) const
{
    if (key == nullptr) {
        return nullptr;
    }
    std::map<CUiString, CUiString>::const_iterator it = m_texts.find(CUiString(key));
    return it != m_texts.end() ? it->second.GetData() : nullptr;
}

const wchar_t* CLanguageTable::Set(const wchar_t* key, const wchar_t* text)
{
    CUiString& stored = m_texts[CUiString(key)];
    stored = text;
    return stored.GetData();
}

void CLanguageTable::Clear()
{
    m_codes.clear();
    m_names.clear();
    m_texts.clear();
}

}  // namespace SkinUI
