#include "checksum.h"

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

uint32_t Crc32(uint32_t crc, const void* bytes, uint32_t count) {
    // Entry 1 of table 0 is never 0 once the tables are made.
    if (crcTables[0][1] == 0)
        MakeTables();
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    crc = ~crc;
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

uint32_t CopyWithCrc32(void* destination, const void* source, uint32_t count, uint32_t crc) {
    constexpr uint32_t kPiece = 16384;
    auto* to = static_cast<char*>(destination);
    auto* from = static_cast<const char*>(source);
    while (count > 0) {
        uint32_t piece = count < kPiece ? count : kPiece;
        BlockCopy(from, to, static_cast<int32_t>(piece));
        crc = Crc32(crc, to, piece);
        to += piece;
        from += piece;
        count -= piece;
    }
    return crc;
}
