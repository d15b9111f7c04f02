// The multi-language text table ("multi_language.tsv"): UTF-8 rows of TAB
// separated cells. Row 1 holds the language codes, row 2 their display names,
// every further row a group label, a key and one text per language.
#pragma once

#include <map>
#include <vector>

#include "skinui/core/ui_string.h"

namespace SkinUI {

typedef std::vector<CUiString> CUiStringRow;

// Splits the table into rows of cells. Rows end at CR or LF; TABs, CRs and
// LFs at the start of a row are skipped (so no row starts with an empty
// cell); a NUL byte ends the table. Cells of any length are converted.
std::vector<CUiStringRow> SplitLanguageTable(const BYTE* data, DWORD size);

class CLanguageTable {
public:
    // Replaces the header rows and drops every text held so far; when the
    // table is usable (two header rows, the second naming "language_name"),
    // loads the texts of the column of languageCode (the first language when
    // the code is absent), each cell whole, however long. Returns false for an
    // unusable table, which leaves no text at all (not even the old ones).
    bool Load(const BYTE* data, DWORD size, const wchar_t* languageCode);

    // Null when the key is absent.
    const wchar_t* Find(const wchar_t* key) const;
    // Inserts or overwrites. Returns the stored text.
    const wchar_t* Set(const wchar_t* key, const wchar_t* text);
    void Clear();

    const CUiStringRow& GetCodes() const { return m_codes; }
    const CUiStringRow& GetNames() const { return m_names; }
    int GetTextCount() const { return static_cast<int>(m_texts.size()); }

private:
    CUiStringRow m_codes;
    CUiStringRow m_names;
    std::map<CUiString, CUiString> m_texts;
};

}  // namespace SkinUI
