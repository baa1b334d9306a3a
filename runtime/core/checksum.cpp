#include "checksum.h"

#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>

#include "strings.h"

// Slicing by eight: eight tables of 256 entries, made at the first use into zero-filled memory,
// so that the program file carries none of their 8 KiB.
static uint32_t crcTables[8][256];

static void MakeTables() {
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        crcTables[0][byte] = crc;
    }
    for (uint32_t byte = 0; byte < 256; ++byte)
        for (int table = 1; table < 8; ++table)
            crcTables[table][byte] =
                (crcTables[table - 1][byte] >> 8) ^ crcTables[0][crcTables[table - 1][byte] & 0xFF];
}

static uint32_t Load32(const uint8_t* p) {
    return p[0] | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Folding with carry-less multiplication (Intel, "Fast CRC Computation for Generic Polynomials
// Using PCLMULQDQ"): four 128-bit lanes folded 64 bytes at a time, then one lane, then a Barrett
// reduction to 32 bits. The constants are x^n mod P for the reflected polynomial.
__attribute__((target("pclmul,sse2"))) static inline __m128i Load128(const uint8_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// lane * x^n mod P, n chosen by the constant pair, added to the next lane.
__attribute__((target("pclmul,sse2"))) static inline __m128i Fold(__m128i lane, __m128i by,
                                                                  __m128i next) {
    __m128i low = _mm_clmulepi64_si128(lane, by, 0x00);
    __m128i high = _mm_clmulepi64_si128(lane, by, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// Takes and gives the inverted CRC; count is at least 64 and a multiple of 16.
__attribute__((target("pclmul,sse2"), force_align_arg_pointer)) static uint32_t
FoldCrc(const uint8_t* p, uint32_t count, uint32_t crc) {
    const __m128i fold4 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i fold1 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i fold64 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i barrett = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    __m128i x1 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load128(p + 16), x3 = Load128(p + 32), x4 = Load128(p + 48);
    for (p += 64, count -= 64; count >= 64; p += 64, count -= 64) {
        x1 = Fold(x1, fold4, Load128(p));
        x2 = Fold(x2, fold4, Load128(p + 16));
        x3 = Fold(x3, fold4, Load128(p + 32));
        x4 = Fold(x4, fold4, Load128(p + 48));
    }
    x1 = Fold(Fold(Fold(x1, fold1, x2), fold1, x3), fold1, x4);
    for (; count >= 16; p += 16, count -= 16)
        x1 = Fold(x1, fold1, Load128(p));
    // 128 bits to 64, then Barrett's reduction to 32.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, fold1, 0x10));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), fold64, 0x00),
                       _mm_srli_si128(x1, 4));
    __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), barrett, 0x10);
    quotient = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x00);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(_mm_xor_si128(x1, quotient), 4)));
}

static bool hasCarrylessMultiply;

static bool CpuHasCarrylessMultiply() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) && (edx & bit_SSE2);
}

uint32_t Crc32(uint32_t crc, const void* bytes, uint32_t count) {
    // Entry 1 of table 0 is never 0 once the tables are made.
    if (crcTables[0][1] == 0) {
        MakeTables();
        hasCarrylessMultiply = CpuHasCarrylessMultiply();
    }
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    crc = ~crc;
    if (hasCarrylessMultiply && count >= 64) {
        uint32_t whole = count & ~15u;
        crc = FoldCrc(p, whole, crc);
        p += whole;
        count -= whole;
    }
    for (; count >= 8; count -= 8, p += 8) {
        uint32_t low = Load32(p) ^ crc;
        uint32_t high = Load32(p + 4);
        crc = crcTables[7][low & 0xFF] ^ crcTables[6][(low >> 8) & 0xFF] ^
              crcTables[5][(low >> 16) & 0xFF] ^ crcTables[4][low >> 24] ^
              crcTables[3][high & 0xFF] ^ crcTables[2][(high >> 8) & 0xFF] ^
              crcTables[1][(high >> 16) & 0xFF] ^ crcTables[0][high >> 24];
    }
    for (; count > 0; --count, ++p)
        crc = (crc >> 8) ^ crcTables[0][(crc ^ *p) & 0xFF];
    return ~crc;
}
