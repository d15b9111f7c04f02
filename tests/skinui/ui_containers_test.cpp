#include <gtest/gtest.h>

#include <set>
#include <string>

#include "skinui/core/ui_ptr_array.h"
#include "skinui/core/ui_string_map.h"
#include "skinui/core/ui_types.h"

using SkinUI::CUiPtrArray;
using SkinUI::CUiRect;
using SkinUI::CUiStringMap;

namespace {

void* P(int n) {
    return reinterpret_cast<void*>(static_cast<INT_PTR>(n));
}

std::wstring Dump(const CUiPtrArray& a) {
    std::wstring out;
    for (int i = 0; i < a.GetSize(); ++i) {
        out += std::to_wstring(reinterpret_cast<INT_PTR>(a[i]));
        out += L' ';
    }
    return out;
}

// Two keys that land in the same bucket of a 16-bucket map.
void CollidingKeys(std::wstring& a, std::wstring& b) {
    a = L"k0";
    const unsigned int bucket = CUiStringMap::HashKey(a.c_str()) % 16;
    for (int i = 1;; ++i) {
        b = L"k" + std::to_wstring(i);
        if (CUiStringMap::HashKey(b.c_str()) % 16 == bucket) {
            return;
        }
    }
}

}  // namespace

TEST(CUiPtrArrayTest, GrowthStartsAt11AndDoubles) {
    CUiPtrArray a;
    EXPECT_EQ(0, a.GetCapacity());
    for (int i = 1; i <= 10; ++i) {
        ASSERT_TRUE(a.Add(P(i)));
    }
    EXPECT_EQ(11, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(11)));
    EXPECT_EQ(22, a.GetCapacity());
    EXPECT_EQ(11, a.GetSize());
    EXPECT_EQ(nullptr, a.GetAt(-1));
    EXPECT_EQ(nullptr, a.GetAt(11));
    EXPECT_EQ(P(11), a.GetAt(10));

    CUiPtrArray pre(5);
    EXPECT_EQ(5, pre.GetCapacity());
    EXPECT_TRUE(pre.IsEmpty());
}

TEST(CUiPtrArrayTest, InsertRemoveFind) {
    CUiPtrArray a;
    a.Add(P(1));
    a.Add(P(3));
    EXPECT_TRUE(a.InsertAt(1, P(2)));
    EXPECT_TRUE(a.InsertAt(0, P(0)));
    EXPECT_TRUE(a.InsertAt(4, P(4)));  // at the end: an Add
    EXPECT_FALSE(a.InsertAt(6, P(9)));
    EXPECT_FALSE(a.InsertAt(-1, P(9)));
    EXPECT_EQ(L"0 1 2 3 4 ", Dump(a));
    EXPECT_EQ(3, a.Find(P(3)));
    EXPECT_EQ(-1, a.Find(P(7)));

    EXPECT_TRUE(a.Remove(1, 2));
    EXPECT_EQ(L"0 3 4 ", Dump(a));
    EXPECT_FALSE(a.Remove(-1));
    EXPECT_FALSE(a.Remove(0, 0));
    EXPECT_FALSE(a.Remove(2, 2));
    EXPECT_FALSE(a.Remove(1, 0x7FFFFFFF));
    EXPECT_TRUE(a.Remove(2));
    EXPECT_EQ(L"0 3 ", Dump(a));
}

TEST(CUiPtrArrayTest, CopyResizeAndEmpty) {
    CUiPtrArray a;
    for (int i = 0; i < 15; ++i) {
        a.Add(P(i));
    }
    CUiPtrArray b(a);
    EXPECT_EQ(Dump(a), Dump(b));
    CUiPtrArray c;
    c.Add(P(99));
    c = a;  // copies the elements, never shares the block
    EXPECT_EQ(Dump(a), Dump(c));
    EXPECT_NE(a.GetData(), c.GetData());
    c = c;
    EXPECT_EQ(15, c.GetSize());

    a.Resize(3);
    EXPECT_EQ(3, a.GetSize());
    EXPECT_EQ(3, a.GetCapacity());
    EXPECT_EQ(nullptr, a[2]);
    a.Resize(0);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(0, a.GetCapacity());
    a.Resize(-4);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.Add(P(1)));
    b.Empty();
    EXPECT_EQ(0, b.GetCapacity());
    EXPECT_EQ(nullptr, b.GetData());
}

TEST(CUiStringMapTest, BucketsInsertSetRemove) {
    CUiStringMap small(4);
    EXPECT_EQ(16, small.GetBucketCount());
    CUiStringMap busy(83);
    EXPECT_EQ(83, busy.GetBucketCount());

    EXPECT_TRUE(small.Insert(L"one", P(1)));
    EXPECT_FALSE(small.Insert(L"one", P(2)));
    EXPECT_EQ(P(1), small.Find(L"one"));
    EXPECT_EQ(P(1), small.Set(L"one", P(3)));
    EXPECT_EQ(P(3), small.Find(L"one"));
    EXPECT_EQ(nullptr, small.Set(L"two", P(2)));
    EXPECT_EQ(2, small.GetSize());
    EXPECT_EQ(nullptr, small.Find(L"ONE"));  // keys are case-sensitive
    EXPECT_TRUE(small.Insert(L"", P(5)));
    EXPECT_EQ(P(5), small.Find(L""));
    EXPECT_TRUE(small.Remove(L"one"));
    EXPECT_FALSE(small.Remove(L"one"));
    EXPECT_EQ(nullptr, small.Find(L"one"));
    small.RemoveAll();
    EXPECT_EQ(0, small.GetSize());
    EXPECT_EQ(16, small.GetBucketCount());

    small.Resize(0);
    EXPECT_FALSE(small.Insert(L"x", P(1)));
    EXPECT_EQ(P(7), small.Set(L"x", P(7)));
    EXPECT_EQ(nullptr, small.Find(L"x"));
    EXPECT_EQ(nullptr, small.GetAt(0));
}

TEST(CUiStringMapTest, HashRunsFromTheLastUnit) {
    EXPECT_EQ(0u, CUiStringMap::HashKey(L""));
    // "ab": h = 'b', then h * 33 + 'a'
    EXPECT_EQ(static_cast<unsigned int>(L'b') * 33 + L'a', CUiStringMap::HashKey(L"ab"));
}

TEST(CUiStringMapTest, WalkOrderAndMoveToFront) {
    std::wstring a, b;
    CollidingKeys(a, b);
    CUiStringMap map(16);
    map.Insert(a.c_str(), P(1));
    map.Insert(b.c_str(), P(2));  // new items become the chain head
    ASSERT_EQ(2, map.GetSize());
    EXPECT_EQ(b, map.GetAt(0));
    EXPECT_EQ(a, map.GetAt(1));
    EXPECT_EQ(nullptr, map.GetAt(2));

    EXPECT_EQ(P(1), map.Find(a.c_str(), false));
    EXPECT_EQ(b, map.GetAt(0));  // no move without optimize
    EXPECT_EQ(P(1), map.Find(a.c_str()));
    EXPECT_EQ(a, map.GetAt(0));
    EXPECT_EQ(b, map.GetAt(1));
    EXPECT_TRUE(map.Remove(a.c_str()));
    EXPECT_EQ(P(2), map.Find(b.c_str()));
}

TEST(CUiStringMapTest, GetAtWalksTheLastBucketFirst) {
    CUiStringMap map(16);
    std::set<unsigned int> buckets;
    const wchar_t* keys[] = {L"alpha", L"beta", L"gamma", L"delta", L"omega"};
    for (const wchar_t* key : keys) {
        map.Insert(key, P(1));
    }
    unsigned int previous = 16;
    for (int i = 0; i < map.GetSize(); ++i) {
        const unsigned int bucket = CUiStringMap::HashKey(map.GetAt(i)) % 16;
        EXPECT_LE(bucket, previous);
        previous = bucket;
        buckets.insert(bucket);
    }
    EXPECT_GT(buckets.size(), 1u);
}

TEST(CUiRectTest, Geometry) {
    CUiRect r(10, 20, 110, 70);
    EXPECT_EQ(100, r.GetWidth());
    EXPECT_EQ(50, r.GetHeight());
    r.Union(CUiRect(0, 30, 50, 100));
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(110, r.right);
    EXPECT_EQ(100, r.bottom);
    r.Offset(5, -5);
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(15, r.top);
    r.MoveToOrigin();
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(110, r.right);
    EXPECT_EQ(80, r.bottom);
    r.Empty();
    EXPECT_EQ(0, r.right);
    static_assert(sizeof(CUiRect) == sizeof(RECT), "CUiRect must stay layout-compatible with RECT");
}

TEST(CUiStringOrIdTest, TextOrMaskedNumber) {
    SkinUI::CUiStringOrId id(0x12345u);
    EXPECT_TRUE(id.IsId());
    EXPECT_EQ(0x2345, id.GetId());
    EXPECT_TRUE(IS_INTRESOURCE(id.GetPtr()));
    SkinUI::CUiStringOrId text(L"main.xml");
    EXPECT_FALSE(text.IsId());
    EXPECT_STREQ(L"main.xml", text.GetText());
}
