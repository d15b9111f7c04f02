// CUiPtrArray: a growable array of untyped pointers. It never owns what its
// elements point at; destroying it frees only its block.
#pragma once

namespace SkinUI {

class CUiPtrArray {
public:
    // A count of 1 or more allocates that many slots at once; the size stays 0.
    explicit CUiPtrArray(int preallocate = 0);
    CUiPtrArray(const CUiPtrArray& src);
    CUiPtrArray& operator=(const CUiPtrArray& src);
    ~CUiPtrArray();

    // Frees the block; size and capacity become 0.
    void Empty();
    // Frees the block and makes n null elements; n of 0 or less empties the array.
    void Resize(int n);
    bool IsEmpty() const { return m_nCount == 0; }
    int GetSize() const { return m_nCount; }
    int GetCapacity() const { return m_nAllocated; }

    // False when the block cannot grow; the array is then unchanged.
    bool Add(void* p);
    // index 0..size; false on a bad index or failed growth.
    bool InsertAt(int index, void* p);
    // False when index < 0, count < 1 or index + count > size.
    bool Remove(int index, int count = 1);
    // Index of the first equal pointer, -1 when absent.
    int Find(void* p) const;

    // Null when the index is out of range.
    void* GetAt(int index) const;
    // No range test.
    void* operator[](int index) const { return m_ppVoid[index]; }
    void** GetData() const { return m_ppVoid; }

private:
    bool Grow();

    void** m_ppVoid;
    int m_nCount;
    int m_nAllocated;
};

}  // namespace SkinUI
