// CTileLayoutUI: places its children in a grid of equal cells, row by row.
// The number of columns is fixed ("columns") or as many cells as fit the
// width; the gap between columns is the child padding or, when that is 0,
// what the width leaves spread between the columns. Every child keeps the
// cell of its index: an invisible child leaves its cell empty.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"

namespace SkinUI {

class CTileLayoutUI : public CContainerUI {
public:
    CTileLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    SIZE GetItemSize() const { return m_szItem; }
    void SetItemSize(SIZE size);
    // The columns of the last layout pass.
    int GetColumns() const { return m_nColumns; }
    int GetFixedColumns() const { return m_nFixedColumns; }
    // 0: as many as fit; a negative count is ignored.
    void SetColumns(int columns);
    int GetChildVPadding() const { return m_iChildVPadding; }
    // The gap between rows; a negative gap is stored as 0.
    void SetChildVPadding(int padding);

private:
    SIZE m_szItem;
    int m_nColumns;
    int m_nFixedColumns;
    int m_iChildVPadding;
};

}  // namespace SkinUI
