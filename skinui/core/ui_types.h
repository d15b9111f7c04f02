// Geometry helpers and the string-or-resource-id value of the framework.
#pragma once

#include <windows.h>

namespace SkinUI {

// Layout-compatible with RECT: pass it wherever the platform wants a RECT.
class CUiRect : public tagRECT {
public:
    CUiRect();
    CUiRect(const RECT& src);
    CUiRect(int l, int t, int r, int b);

    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    // All four values become 0.
    void Empty();
    // Left and top take the smaller, right and bottom the larger value
    // (no emptiness test).
    void Union(const RECT& other);
    void Offset(int dx, int dy);
    // Offsets so that left and top become 0.
    void MoveToOrigin();
};

class CUiSize : public tagSIZE {
public:
    CUiSize();
    CUiSize(const SIZE& src);
    CUiSize(int x, int y);
};

// Either a pointer to a wide text or a 16-bit resource number (the platform's
// integer-resource convention: high bits zero). GetPtr suits FindResourceW.
class CUiStringOrId {
public:
    CUiStringOrId(const wchar_t* text) : m_lpstr(text) {}
    // The number is masked to 16 bits.
    explicit CUiStringOrId(unsigned int id)
        : m_lpstr(reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(id & 0xFFFF)))
    {
    }

    bool IsId() const { return (reinterpret_cast<ULONG_PTR>(m_lpstr) >> 16) == 0; }
    WORD GetId() const { return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(m_lpstr) & 0xFFFF); }
    // The text, or null for a resource number.
    const wchar_t* GetText() const { return IsId() ? nullptr : m_lpstr; }
    const wchar_t* GetPtr() const { return m_lpstr; }

private:
    const wchar_t* m_lpstr;
};

}  // namespace SkinUI
