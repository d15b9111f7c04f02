#include "skinui/core/ui_string_map.h"

#include <stdlib.h>

#include "foundation/log.h"

namespace SkinUI {

namespace {
const int kMinBuckets = 16;
}

CUiStringMap::CUiStringMap(int buckets) : m_aT(nullptr), m_nBuckets(0), m_nCount(0)
{
    Resize(buckets < kMinBuckets ? kMinBuckets : buckets);
}

CUiStringMap::~CUiStringMap() { Resize(0); }

unsigned int CUiStringMap::HashKey(const wchar_t* key)
{
    unsigned int hash = 0;
    if (key == nullptr) {
        return hash;
    }
    const wchar_t* p = key;
    while (*p != L'\0') {
        ++p;
    }
    while (p != key) {
        --p;
        hash = hash * 33 + static_cast<unsigned short>(*p);
    }
    return hash;
}

void CUiStringMap::FreeItems()
{
    for (int i = 0; i < m_nBuckets; ++i) {
        Item* item = m_aT[i];
        while (item != nullptr) {
            Item* next = item->next;
            delete item;
            item = next;
        }
        m_aT[i] = nullptr;
    }
    m_nCount = 0;
}

void CUiStringMap::Resize(int buckets)
{
    FreeItems();
    free(m_aT);
    m_aT = nullptr;
    m_nBuckets = 0;
    if (buckets <= 0) {
        return;
    }
    m_aT = static_cast<Item**>(calloc(buckets, sizeof(Item*)));
    if (m_aT == nullptr) {
        common::log("CUiStringMap::Resize", __LINE__, L"out of memory for %d buckets", buckets);
        return;
    }
    m_nBuckets = buckets;
}

void CUiStringMap::RemoveAll() { FreeItems(); }

CUiStringMap::Item* CUiStringMap::FindItem(const wchar_t* key, unsigned int* bucket) const
{
    if (m_nBuckets <= 0) {
        return nullptr;
    }
    *bucket = HashKey(key) % static_cast<unsigned int>(m_nBuckets);
    for (Item* item = m_aT[*bucket]; item != nullptr; item = item->next) {
        if (item->key == key) {
            return item;
        }
    }
    return nullptr;
}

void* CUiStringMap::Find(const wchar_t* key, bool optimize) const
{
    unsigned int bucket = 0;
    Item* item = FindItem(key, &bucket);
    if (item == nullptr) {
        return nullptr;
    }
    if (optimize && item->prev != nullptr) {
        // Move the hit to the head of its chain.
        item->prev->next = item->next;
        if (item->next != nullptr) {
            item->next->prev = item->prev;
        }
        item->prev = nullptr;
        item->next = m_aT[bucket];
        m_aT[bucket]->prev = item;
        m_aT[bucket] = item;
    }
    return item->value;
}

bool CUiStringMap::Insert(const wchar_t* key, void* value)
{
    if (m_nBuckets <= 0) {
        return false;
    }
    unsigned int bucket = 0;
    if (FindItem(key, &bucket) != nullptr) {
        return false;
    }
    Item* item = new Item;
    item->key = key;
    item->value = value;
    item->prev = nullptr;
    item->next = m_aT[bucket];
    if (item->next != nullptr) {
        item->next->prev = item;
    }
    m_aT[bucket] = item;
    ++m_nCount;
    return true;
}

void* CUiStringMap::Set(const wchar_t* key, void* value)
{
    if (m_nBuckets <= 0) {
        return value;
    }
    unsigned int bucket = 0;
    Item* item = FindItem(key, &bucket);
    if (item != nullptr) {
        void* old = item->value;
        item->value = value;
        return old;
    }
    Insert(key, value);
    return nullptr;
}

bool CUiStringMap::Remove(const wchar_t* key)
{
    unsigned int bucket = 0;
    Item* item = FindItem(key, &bucket);
    if (item == nullptr) {
        return false;
    }
    if (item->prev != nullptr) {
        item->prev->next = item->next;
    } else {
        m_aT[bucket] = item->next;
    }
    if (item->next != nullptr) {
        item->next->prev = item->prev;
    }
    delete item;
    --m_nCount;
    return true;
}

const wchar_t* CUiStringMap::GetAt(int index) const
{
    if (index < 0) {
        return nullptr;
    }
    int pos = 0;
    for (int i = m_nBuckets - 1; i >= 0; --i) {
        for (const Item* item = m_aT[i]; item != nullptr; item = item->next) {
            if (pos == index) {
                return item->key.GetData();
            }
            ++pos;
        }
    }
    return nullptr;
}

void AddStringValue(CUiStringMap& map, const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || name[0] == L'\0' || value == nullptr || value[0] == L'\0') {
        return;
    }
    if (map.Find(name) != nullptr) {
        return;
    }
    CUiString* copy = new CUiString(value);
    if (!map.Insert(name, copy)) {
        delete copy;
    }
}

void FreeStringValues(CUiStringMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i) {
        const wchar_t* key = map.GetAt(i);
        if (key != nullptr) {
            delete static_cast<CUiString*>(map.Find(key, false));
        }
    }
    map.RemoveAll();
}

}  // namespace SkinUI
