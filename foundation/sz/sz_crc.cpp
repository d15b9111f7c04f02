#include "foundation/sz/sz_crc.h"

#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>

#include <cstdint>

#include "7zCrc.h"

namespace {

bool canFold()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) != 0 && (edx & bit_SSE2) != 0;
}

// The register holds the CRC's bit-reflected polynomial: bit b is the
// coefficient of x^(31 - b). Folding a 128-bit piece forward by d bits
// multiplies its high-degree half by x^(64 + d) and its low-degree half by
// x^d, modulo the CRC polynomial. A carry-less product of two reflected
// 64-bit halves comes out multiplied by x once more, so each constant is
// x^(n - 1) mod P, placed in the upper 32 bits of its half.
uint64_t foldConstant(unsigned power)
{
    uint32_t r = 0x80000000u;  // x^0
    while (power-- > 0) {
        r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
    }
    return static_cast<uint64_t>(r) << 32;
}

__attribute__((target("pclmul,sse2"), always_inline)) inline __m128i fold(__m128i piece, __m128i constants,
                                                                          __m128i next)
{
    const __m128i fromHighDegrees = _mm_clmulepi64_si128(piece, constants, 0x00);
    const __m128i fromLowDegrees = _mm_clmulepi64_si128(piece, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(fromHighDegrees, fromLowDegrees), next);
}

// A 32-bit Windows thread's stack is aligned to 4 bytes only: the function
// aligns its own for the 16-byte registers it may keep there.
__attribute__((target("pclmul,sse2"), force_align_arg_pointer)) UInt32 foldUpdate(UInt32 crc, const Byte* p,
                                                                                  size_t size)
{
    // Four pieces of 128 bits are folded 512 bits forward at a time, then
    // into one, which takes the remaining whole pieces; the tables finish
    // the folded piece and the bytes after it.
    static const __m128i by512 = _mm_set_epi64x(static_cast<long long>(foldConstant(511)),
                                                static_cast<long long>(foldConstant(575)));
    static const __m128i by128 = _mm_set_epi64x(static_cast<long long>(foldConstant(127)),
                                                static_cast<long long>(foldConstant(191)));
    __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    __m128i x3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
    x0 = _mm_xor_si128(x0, _mm_cvtsi32_si128(static_cast<int>(crc)));
    p += 64;
    size -= 64;
    for (; size >= 64; p += 64, size -= 64) {
        x0 = fold(x0, by512, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        x1 = fold(x1, by512, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)));
        x2 = fold(x2, by512, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)));
        x3 = fold(x3, by512, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)));
    }
    x0 = fold(x0, by128, x1);
    x0 = fold(x0, by128, x2);
    x0 = fold(x0, by128, x3);
    for (; size >= 16; p += 16, size -= 16) {
        x0 = fold(x0, by128, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    Byte folded[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(folded), x0);
    return CrcUpdate(CrcUpdate(0, folded, sizeof(folded)), p, size);
}

}  // namespace

UInt32 SzCrcUpdate(UInt32 crc, const void* data, size_t size)
{
    static const bool folds = canFold();
    if (!folds || size < 64) {
        return CrcUpdate(crc, data, size);
    }
    return foldUpdate(crc, static_cast<const Byte*>(data), size);
}
