// The post-link step of every program exe, before the checksum and signing, reproducibly:
// - Moves the resource section to a page-aligned file offset, so that the loader maps the carried
//   document from the file and reads a page only when it is touched, instead of reading the whole
//   section into private memory at every start (what Wine does with an unaligned section). Only
//   the file before the section is padded (at most 4095 bytes); the sections after it move with it.
//   The padding belongs to sections: a signature's digest (Authenticode) hashes the headers and the
//   sections and leaves out bytes between them, so the raw data must run without a gap from the
//   headers to the last section, which is checked at the end.
// - Points the load configuration directory at the program's `_load_config_used`, which Debian 12's
//   GNU ld does not do, then drops the symbol table that found it (the link keeps one for
//   this step only).
// - Makes the resource section read-only (GNU ld marks it writable; Microsoft's linker does not):
//   Windows charges commit for every writable page of an image it maps, the whole carried document
//   at each start, and nothing writes to it.
// The header's checksum is made again. An exe with a certificate or a debug directory is refused:
// their file offsets would need moving too, and signing comes after this step.
// Usage: post_link EXE (rewritten in place; a step already done is left as it is).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kPage = 4096;
constexpr uint32_t kSecurityDirectory = 4;
constexpr uint32_t kDebugDirectory = 6;
constexpr uint32_t kLoadConfigDirectory = 10;
// IMAGE_FILE_LINE_NUMS_STRIPPED | IMAGE_FILE_LOCAL_SYMS_STRIPPED, as `ld -s` marks an image.
constexpr uint16_t kSymbolsStripped = 0x0004 | 0x0008;
constexpr uint32_t kWritable = 0x80000000;

struct Layout {
    uint32_t optional = 0; // offset of the optional header
    bool pe32Plus = false;
    uint32_t sections = 0; // offset of the section table
    uint32_t sectionCountField = 0;
    uint32_t sectionCount = 0;
    uint32_t checksum = 0;    // offset of the CheckSum field
    uint32_t directories = 0; // offset of the data directories
    uint32_t directoryCount = 0;
    uint32_t symbolTable = 0; // offset of PointerToSymbolTable
};

uint32_t Read32(const Bytes& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint16_t Read16(const Bytes& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

void Write32(Bytes& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Write16(Bytes& bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

bool Fail(const std::string& message) {
    std::fprintf(stderr, "post_link: %s\n", message.c_str());
    return false;
}

bool ParseLayout(const Bytes& bytes, Layout& layout) {
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return Fail("not an MZ file");
    uint32_t pe = Read32(bytes, 0x3C);
    if (pe + 24 > bytes.size() || std::memcmp(&bytes[pe], "PE\0\0", 4) != 0)
        return Fail("no PE header");
    uint32_t optional = pe + 24;
    uint16_t optionalSize = Read16(bytes, pe + 20);
    layout.sectionCountField = pe + 6;
    layout.sectionCount = Read16(bytes, pe + 6);
    layout.symbolTable = pe + 12;
    layout.sections = optional + optionalSize;
    if (layout.sections + 40 * layout.sectionCount > bytes.size())
        return Fail("truncated section table");
    uint16_t magic = Read16(bytes, optional);
    if (magic != 0x10B && magic != 0x20B)
        return Fail("unknown optional header");
    layout.optional = optional;
    layout.pe32Plus = magic == 0x20B;
    layout.checksum = optional + 64;
    uint32_t countField = optional + (magic == 0x10B ? 92 : 108);
    layout.directoryCount = Read32(bytes, countField);
    layout.directories = countField + 4;
    if (layout.directories + 8 * layout.directoryCount > layout.sections)
        return Fail("truncated data directories");
    return true;
}

uint32_t DirectorySize(const Bytes& bytes, const Layout& layout, uint32_t index) {
    return index < layout.directoryCount ? Read32(bytes, layout.directories + 8 * index + 4) : 0;
}

// The PE checksum: 16-bit one's-complement sum of the file without its CheckSum field, plus the
// file's length.
uint32_t PeChecksum(const Bytes& bytes, uint32_t checksumOffset) {
    uint64_t sum = 0;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        if (i == checksumOffset || i == checksumOffset + 2)
            continue;
        uint32_t word = bytes[i] | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0);
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + bytes.size());
}

struct Section {
    uint32_t header; // offset of its section header
    uint32_t address;
    uint32_t rawSize;
    uint32_t raw;
};

std::vector<Section> Sections(const Bytes& bytes, const Layout& layout) {
    std::vector<Section> sections;
    for (uint32_t i = 0; i < layout.sectionCount; ++i) {
        uint32_t header = layout.sections + 40 * i;
        sections.push_back({header, Read32(bytes, header + 12), Read32(bytes, header + 16),
                            Read32(bytes, header + 20)});
    }
    return sections;
}

// Zero bytes inserted at file offset `at`: every raw pointer at or after it moves with them.
void InsertZeros(Bytes& bytes, const Layout& layout, uint32_t at, uint32_t count) {
    bytes.insert(bytes.begin() + at, count, 0);
    for (uint32_t i = 0; i < layout.sectionCount; ++i) {
        uint32_t field = layout.sections + 40 * i + 20;
        uint32_t raw = Read32(bytes, field);
        if (raw >= at && raw != 0)
            Write32(bytes, field, raw + count);
    }
    uint32_t symbols = Read32(bytes, layout.symbolTable);
    if (symbols >= at)
        Write32(bytes, layout.symbolTable, symbols + count);
}

// The padding before the resource section is spread over the sections before it, nearest first,
// each growing its raw data only within its room in memory before the next section (beyond it the
// loader refuses the image), then over the headers, up to the first section's address. Addresses
// stay as they are; only file offsets move.
bool PadBefore(Bytes& bytes, const Layout& layout, uint32_t rsrc, uint32_t pad) {
    uint32_t fileAlignment = Read32(bytes, layout.optional + 36);
    std::vector<Section> sections = Sections(bytes, layout);
    std::sort(sections.begin(), sections.end(),
              [](const Section& a, const Section& b) { return a.raw > b.raw; });
    uint32_t firstAddress = UINT32_MAX;
    for (const Section& section : sections)
        firstAddress = std::min(firstAddress, section.address);
    for (const Section& section : sections) {
        if (pad == 0)
            return true;
        if (section.rawSize == 0 || section.raw >= rsrc)
            continue;
        uint32_t room = Read32(bytes, layout.optional + 56) - section.address; // SizeOfImage
        for (const Section& other : sections)
            if (other.address > section.address)
                room = std::min(room, other.address - section.address);
        if (section.rawSize >= room)
            continue;
        uint32_t take = std::min(pad, (room - section.rawSize) / fileAlignment * fileAlignment);
        if (take == 0)
            continue;
        InsertZeros(bytes, layout, section.raw + section.rawSize, take);
        Write32(bytes, section.header + 16, section.rawSize + take);
        // SizeOfCode or SizeOfInitializedData, whichever counts the section.
        uint32_t sizeField = layout.optional + (Read32(bytes, section.header + 36) & 0x20 ? 4 : 8);
        Write32(bytes, sizeField, Read32(bytes, sizeField) + take);
        pad -= take;
    }
    uint32_t headersSize = Read32(bytes, layout.optional + 60);
    if (pad != 0 && headersSize + pad <= firstAddress) {
        InsertZeros(bytes, layout, headersSize, pad);
        Write32(bytes, layout.optional + 60, headersSize + pad);
        pad = 0;
    }
    return pad == 0 || Fail("no room in the sections before the resource section for its padding");
}

bool AlignResources(Bytes& bytes, const Layout& layout) {
    uint32_t rsrc = 0;
    bool found = false;
    for (uint32_t i = 0; i < layout.sectionCount; ++i) {
        uint32_t header = layout.sections + 40 * i;
        if (std::memcmp(&bytes[header], ".rsrc\0\0\0", 8) == 0) {
            rsrc = Read32(bytes, header + 20);
            Write32(bytes, header + 36, Read32(bytes, header + 36) & ~kWritable);
            found = true;
        }
    }
    if (!found || rsrc == 0 || rsrc > bytes.size())
        return Fail("no resource section with raw data");
    return PadBefore(bytes, layout, rsrc, (kPage - rsrc % kPage) % kPage);
}

// Every byte from the end of the headers to the end of the last section belongs to a section.
bool CheckNoGaps(const Bytes& bytes, const Layout& layout) {
    std::vector<Section> sections = Sections(bytes, layout);
    std::sort(sections.begin(), sections.end(),
              [](const Section& a, const Section& b) { return a.raw < b.raw; });
    uint32_t end = Read32(bytes, layout.optional + 60); // SizeOfHeaders
    for (const Section& section : sections) {
        if (section.rawSize == 0)
            continue;
        if (section.raw != end)
            return Fail("bytes at " + std::to_string(end) + " belong to no section");
        end = section.raw + section.rawSize;
    }
    return true;
}

// The load configuration the program defines as `_load_config_used` (i686: `__load_config_used`),
// as Microsoft's linker and newer GNU ld point the directory at it; found through the symbol
// table, which is then dropped as `ld -s` would.
bool FindLoadConfig(const Bytes& bytes, const Layout& layout, uint32_t& address, uint32_t& size) {
    uint32_t symbols = Read32(bytes, layout.symbolTable);
    uint32_t count = Read32(bytes, layout.symbolTable + 4);
    if (symbols == 0 || symbols + 18ull * count > bytes.size())
        return Fail("no symbol table to find _load_config_used in (link without -s)");
    uint32_t strings = symbols + 18 * count;
    for (uint32_t i = 0; i < count; i += 1 + bytes[symbols + 18 * i + 17]) {
        uint32_t symbol = symbols + 18 * i;
        std::string name;
        if (Read32(bytes, symbol) != 0)
            name.assign(reinterpret_cast<const char*>(&bytes[symbol]),
                        strnlen(reinterpret_cast<const char*>(&bytes[symbol]), 8));
        else if (strings + Read32(bytes, symbol + 4) < bytes.size())
            name = reinterpret_cast<const char*>(&bytes[strings + Read32(bytes, symbol + 4)]);
        uint16_t section = Read16(bytes, symbol + 12);
        if ((name != "_load_config_used" && name != "__load_config_used") || section == 0 ||
            section > layout.sectionCount)
            continue;
        uint32_t header = layout.sections + 40 * (section - 1);
        uint32_t offset = Read32(bytes, symbol + 8);
        if (offset + 4 > Read32(bytes, header + 16))
            return Fail("_load_config_used lies outside its section's raw data");
        address = Read32(bytes, header + 12) + offset;
        size = Read32(bytes, Read32(bytes, header + 20) + offset);
        return true;
    }
    return Fail("the program defines no _load_config_used (runtime/core/load_config.cpp)");
}

// The symbol table and its strings end the file; an image needs neither.
bool DropSymbols(Bytes& bytes, const Layout& layout) {
    uint32_t symbols = Read32(bytes, layout.symbolTable);
    if (symbols == 0)
        return true;
    for (const Section& section : Sections(bytes, layout))
        if (section.raw + section.rawSize > symbols)
            return Fail("section data after the symbol table");
    bytes.resize(symbols);
    Write32(bytes, layout.symbolTable, 0);
    Write32(bytes, layout.symbolTable + 4, 0);
    uint32_t characteristics = layout.symbolTable + 10;
    Write16(bytes, characteristics, Read16(bytes, characteristics) | kSymbolsStripped);
    return true;
}

bool PointAtLoadConfig(Bytes& bytes, const Layout& layout) {
    if (layout.directoryCount <= kLoadConfigDirectory)
        return Fail("no room for a load configuration directory entry");
    if (DirectorySize(bytes, layout, kLoadConfigDirectory) == 0) {
        uint32_t address = 0;
        uint32_t size = 0;
        if (!FindLoadConfig(bytes, layout, address, size))
            return false;
        Write32(bytes, layout.directories + 8 * kLoadConfigDirectory, address);
        Write32(bytes, layout.directories + 8 * kLoadConfigDirectory + 4, size);
    }
    return DropSymbols(bytes, layout);
}

bool PostLink(Bytes& bytes) {
    Layout layout;
    if (!ParseLayout(bytes, layout))
        return false;
    if (DirectorySize(bytes, layout, kSecurityDirectory) != 0 ||
        DirectorySize(bytes, layout, kDebugDirectory) != 0)
        return Fail("the exe has a certificate or debug directory; finish it before signing");
    if (!PointAtLoadConfig(bytes, layout) || !AlignResources(bytes, layout) ||
        !CheckNoGaps(bytes, layout))
        return false;
    if (Read32(bytes, layout.checksum) != 0)
        Write32(bytes, layout.checksum, PeChecksum(bytes, layout.checksum));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: post_link EXE\n");
        return 2;
    }
    std::string path = argv[1];
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail("cannot read " + path), 1;
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    if (!PostLink(bytes))
        return 1;
    // Written in place, so the file keeps its mode; a failed write fails the link step, which the
    // build then runs again.
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        return Fail("cannot write " + path), 1;
    return 0;
}
