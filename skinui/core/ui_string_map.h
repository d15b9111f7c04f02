// CUiStringMap: a hash map from CUiString keys to untyped pointers, with a
// fixed bucket count chosen at construction. Values are never freed by it.
#pragma once

#include "skinui/core/ui_string.h"

namespace SkinUI {

class CUiStringMap {
public:
    // At least 16 buckets; busy maps use 83. The map never rehashes.
    explicit CUiStringMap(int buckets = 16);
    ~CUiStringMap();
    CUiStringMap(const CUiStringMap&) = delete;
    CUiStringMap& operator=(const CUiStringMap&) = delete;

    // Frees every item and the buckets, then makes n empty buckets
    // (n of 0 or less leaves the map without buckets).
    void Resize(int buckets);
    // Value of the key or null. With optimize, a hit moves to the head of its chain.
    void* Find(const wchar_t* key, bool optimize = true) const;
    // False when the key exists or the map has no buckets.
    bool Insert(const wchar_t* key, void* value);
    // Replaces and returns the old value of an existing key; otherwise inserts
    // and returns null. Without buckets nothing is stored and value is returned.
    void* Set(const wchar_t* key, void* value);
    bool Remove(const wchar_t* key);
    void RemoveAll();
    int GetSize() const { return m_nCount; }
    int GetBucketCount() const { return m_nBuckets; }
    // Key of the index-th item: buckets from the last to the first, each chain
    // from its head. Null past the end.
    const wchar_t* GetAt(int index) const;
    const wchar_t* operator[](int index) const { return GetAt(index); }

    // The hash over the key's units from the last to the first (h = h * 33 + unit).
    static unsigned int HashKey(const wchar_t* key);

private:
    struct Item {
        CUiString key;
        void* value;
        Item* prev;
        Item* next;
    };

    Item* FindItem(const wchar_t* key, unsigned int* bucket) const;
    void FreeItems();

    Item** m_aT;
    int m_nBuckets;
    int m_nCount;
};

// For maps whose values are CUiString objects their owner allocates and frees:
// adds a copy of value under name unless either is empty or name is taken.
void AddStringValue(CUiStringMap& map, const wchar_t* name, const wchar_t* value);
// Deletes every CUiString value and empties the map.
void FreeStringValues(CUiStringMap& map);

}  // namespace SkinUI
