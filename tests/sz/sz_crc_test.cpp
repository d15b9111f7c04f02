#include "foundation/sz/sz_crc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "7zCrc.h"

namespace {

UInt32 digestOf(const void* data, size_t size) { return CRC_GET_DIGEST(SzCrcUpdate(CRC_INIT_VAL, data, size)); }

}  // namespace

// Every length and alignment around the folded sizes, also continued from
// a running CRC, gives the SDK's answer.
TEST(SzCrc, MatchesTheSdkAtEveryLengthAndAlignment)
{
    CrcGenerateTable();
    EXPECT_EQ(0xCBF43926u, digestOf("123456789", 9));
    std::vector<Byte> bytes((1 << 20) + 300);
    UInt32 seed = 12345;
    for (Byte& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<Byte>(seed >> 16);
    }
    for (size_t offset = 0; offset < 16; offset++) {
        for (size_t size = 0; size < 300; size++) {
            const Byte* p = bytes.data() + offset;
            ASSERT_EQ(CrcUpdate(CRC_INIT_VAL, p, size), SzCrcUpdate(CRC_INIT_VAL, p, size))
                << "offset " << offset << ", " << size << " bytes";
        }
    }
    const size_t whole = bytes.size() - 7;
    const UInt32 expected = CrcCalc(bytes.data() + 7, whole);
    EXPECT_EQ(expected, digestOf(bytes.data() + 7, whole));
    const UInt32 head = SzCrcUpdate(CRC_INIT_VAL, bytes.data() + 7, 100003);
    EXPECT_EQ(expected, CRC_GET_DIGEST(SzCrcUpdate(head, bytes.data() + 7 + 100003, whole - 100003)));
}
