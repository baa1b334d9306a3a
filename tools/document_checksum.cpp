// Writes the carried document's check record: its size and its CRC-32 (zlib's, the polynomial of
// zip and PNG), each as 32 bits little-endian. The program compares the bytes it carries with it
// before it writes them. Usage: document_checksum DOCUMENT OUTPUT
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include <zlib.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: document_checksum DOCUMENT OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    if (!in.is_open() || in.bad() || bytes.size() > UINT32_MAX) {
        std::fprintf(stderr, "document_checksum: cannot read %s\n", argv[1]);
        return 1;
    }
    uint32_t size = static_cast<uint32_t>(bytes.size());
    uint32_t crc = static_cast<uint32_t>(crc32(0, bytes.data(), size));
    unsigned char record[8];
    for (int i = 0; i < 4; ++i) {
        record[i] = static_cast<unsigned char>(size >> (8 * i));
        record[4 + i] = static_cast<unsigned char>(crc >> (8 * i));
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(record), sizeof record);
    return out ? 0 : 1;
}
