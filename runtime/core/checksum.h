// CRC-32 as zip and PNG compute it (reflected polynomial 0xEDB88320).
#pragma once
#include <cstdint>

// The CRC-32 of count bytes, continued from the CRC of what came before (0 for none).
uint32_t Crc32(uint32_t crc, const void* bytes, uint32_t count);
