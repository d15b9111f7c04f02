#include "skinui/core/ui_ptr_array.h"

#include <stdlib.h>
#include <string.h>

#include "foundation/log.h"

namespace SkinUI {

CUiPtrArray::CUiPtrArray(int preallocate) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    if (preallocate > 0) {
        m_ppVoid = static_cast<void**>(malloc(preallocate * sizeof(void*)));
        if (m_ppVoid != nullptr) {
            m_nAllocated = preallocate;
        } else {
            common::log("CUiPtrArray::CUiPtrArray", __LINE__, L"out of memory for %d slots", preallocate);
        }
    }
}

CUiPtrArray::CUiPtrArray(const CUiPtrArray& src) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    for (int i = 0; i < src.GetSize(); ++i) {
        Add(src.m_ppVoid[i]);
    }
}

CUiPtrArray& CUiPtrArray::operator=(const CUiPtrArray& src)
{
    if (this == &src) {
        return *this;
    }
    Empty();
    for (int i = 0; i < src.GetSize(); ++i) {
        Add(src.m_ppVoid[i]);
    }
    return *this;
}

CUiPtrArray::~CUiPtrArray() { free(m_ppVoid); }

void CUiPtrArray::Empty()
{
    free(m_ppVoid);
    m_ppVoid = nullptr;
    m_nCount = 0;
    m_nAllocated = 0;
}

void CUiPtrArray::Resize(int n)
{
    Empty();
    if (n <= 0) {
        return;
    }
    m_ppVoid = static_cast<void**>(calloc(n, sizeof(void*)));
    if (m_ppVoid == nullptr) {
        common::log("CUiPtrArray::Resize", __LINE__, L"out of memory for %d slots", n);
        return;
    }
    m_nCount = n;
    m_nAllocated = n;
}

// Raises the count by one; when the count reaches the capacity the block
// doubles (a first block has 11 slots). On failure the count is put back.
bool CUiPtrArray::Grow()
{
    ++m_nCount;
    if (m_nCount < m_nAllocated) {
        return true;
    }
    const int capacity = m_nAllocated == 0 ? 11 : m_nAllocated * 2;
    void** block = static_cast<void**>(realloc(m_ppVoid, capacity * sizeof(void*)));
    if (block == nullptr) {
        --m_nCount;
        common::log("CUiPtrArray::Grow", __LINE__, L"out of memory for %d slots", capacity);
        return false;
    }
    m_ppVoid = block;
    m_nAllocated = capacity;
    return true;
}

bool CUiPtrArray::Add(void* p)
{
    if (!Grow()) {
        return false;
    }
    m_ppVoid[m_nCount - 1] = p;
    return true;
}

bool CUiPtrArray::InsertAt(int index, void* p)
{
    if (index == m_nCount) {
        return Add(p);
    }
    if (index < 0 || index > m_nCount) {
        return false;
    }
    if (!Grow()) {
        return false;
    }
    memmove(&m_ppVoid[index + 1], &m_ppVoid[index], (m_nCount - index - 1) * sizeof(void*));
    m_ppVoid[index] = p;
    return true;
}

bool CUiPtrArray::Remove(int index, int count)
{
    if (index < 0 || count < 1 || count > m_nCount - index) {
        return false;
    }
    const int tail = m_nCount - index - count;
    if (tail > 0) {
        memmove(&m_ppVoid[index], &m_ppVoid[index + count], tail * sizeof(void*));
    }
    m_nCount -= count;
    return true;
}

int CUiPtrArray::Find(void* p) const
{
    for (int i = 0; i < m_nCount; ++i) {
        if (m_ppVoid[i] == p) {
            return i;
        }
    }
    return -1;
}

void* CUiPtrArray::GetAt(int index) const
{
    if (index < 0 || index >= m_nCount) {
        return nullptr;
    }
    return m_ppVoid[index];
}

}  // namespace SkinUI
