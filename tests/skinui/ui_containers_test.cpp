#include <gtest/gtest.h>

#include <string>

#include "skinui/core/ui_ptr_array.h"
#include "skinui/core/ui_string_map.h"

using SkinUI::CUiPtrArray;
using SkinUI::CUiStringMap;

namespace {

void* P(int n) { return reinterpret_cast<void*>(static_cast<INT_PTR>(n)); }

std::wstring Dump(const CUiPtrArray& a)
{
    std::wstring out;
    for (int i = 0; i < a.GetSize(); ++i) {
        out += std::to_wstring(reinterpret_cast<INT_PTR>(a[i])) + L' ';
    }
    return out;
}

}  // namespace

TEST(CUiPtrArrayTest, GrowthInsertAndRemove)
{
    CUiPtrArray a;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(a.Add(P(i)));
    }
    EXPECT_EQ(11, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(10)));
    EXPECT_EQ(22, a.GetCapacity());
    EXPECT_EQ(nullptr, a.GetAt(11));

    CUiPtrArray b;
    b.Add(P(1));
    b.Add(P(3));
    EXPECT_TRUE(b.InsertAt(1, P(2)));
    EXPECT_TRUE(b.InsertAt(3, P(4)));  // at the end: an Add
    EXPECT_FALSE(b.InsertAt(5, P(9)));
    EXPECT_FALSE(b.InsertAt(-1, P(9)));
    EXPECT_EQ(L"1 2 3 4 ", Dump(b));
    EXPECT_TRUE(b.Remove(1, 2));
    EXPECT_EQ(L"1 4 ", Dump(b));
    EXPECT_FALSE(b.Remove(0, 0));
    EXPECT_FALSE(b.Remove(1, 2));
    EXPECT_FALSE(b.Remove(1, 0x7FFFFFFF));
}

TEST(CUiPtrArrayTest, CopyAssignCopiesAndResizeToZeroEmpties)
{
    CUiPtrArray a;
    for (int i = 0; i < 15; ++i) {
        a.Add(P(i));
    }
    CUiPtrArray c;
    c.Add(P(99));
    c = a;  // copies the elements, never shares the block
    EXPECT_EQ(Dump(a), Dump(c));
    EXPECT_NE(a.GetData(), c.GetData());
    c = c;
    EXPECT_EQ(15, c.GetSize());

    a.Resize(3);
    EXPECT_EQ(3, a.GetCapacity());
    a.Resize(0);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(0, a.GetCapacity());
    a.Resize(-4);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.Add(P(1)));
}

TEST(CUiStringMapTest, BucketsAndUpdates)
{
    CUiStringMap map(4);
    EXPECT_EQ(16, map.GetBucketCount());
    EXPECT_EQ(83, CUiStringMap(83).GetBucketCount());
    EXPECT_TRUE(map.Insert(L"one", P(1)));
    EXPECT_FALSE(map.Insert(L"one", P(2)));
    EXPECT_EQ(P(1), map.Set(L"one", P(3)));
    EXPECT_EQ(P(3), map.Find(L"one"));
    EXPECT_EQ(nullptr, map.Find(L"ONE"));  // keys are case-sensitive
    EXPECT_TRUE(map.Remove(L"one"));
    EXPECT_FALSE(map.Remove(L"one"));
    // "ab": h = 'b', then h * 33 + 'a'
    EXPECT_EQ(static_cast<unsigned int>(L'b') * 33 + L'a', CUiStringMap::HashKey(L"ab"));

    map.Resize(0);  // no buckets: nothing is stored
    EXPECT_FALSE(map.Insert(L"x", P(1)));
    EXPECT_EQ(nullptr, map.Find(L"x"));
}

TEST(CUiStringMapTest, WalkOrderAndMoveToFront)
{
    // Two keys in the same bucket of 16.
    std::wstring a = L"k0", b;
    for (int i = 1; b.empty(); ++i) {
        std::wstring k = L"k" + std::to_wstring(i);
        if (CUiStringMap::HashKey(k.c_str()) % 16 == CUiStringMap::HashKey(a.c_str()) % 16)
            b = k;
    }
    CUiStringMap map(16);
    map.Insert(a.c_str(), P(1));
    map.Insert(b.c_str(), P(2));  // new items become the chain head
    EXPECT_EQ(b, map.GetAt(0));
    EXPECT_EQ(a, map.GetAt(1));
    EXPECT_EQ(P(1), map.Find(a.c_str(), false));
    EXPECT_EQ(b, map.GetAt(0));  // no move without optimize
    EXPECT_EQ(P(1), map.Find(a.c_str()));
    EXPECT_EQ(a, map.GetAt(0));
}
