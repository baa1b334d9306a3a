// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320).
#pragma once
#include <cstdint>

// The CRC-32 of count bytes, continued from the CRC of what came before (0 for none).
uint32_t Crc32(uint32_t crc, const void* bytes, uint32_t count);
// Copies count bytes (the areas must not overlap) and gives their CRC-32 continued from crc, in
// one pass: each piece is summed while it is still in the cache from being copied.
uint32_t CopyWithCrc32(void* destination, const void* source, uint32_t count, uint32_t crc);
