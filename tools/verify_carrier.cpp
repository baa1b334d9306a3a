// Reads a built carrier and reports what it carries: the "TH" resource found through the PE
// resource directory (size and SHA-256, whether it matches a given document, and whether it matches
// the size and CRC-32 the build recorded beside it), the volume
// named in the program, the PE machine and subsystem, the version resource, the manifest, and the
// file's signature digest
// as Microsoft's Authenticode format defines it (sections sorted by file offset, bytes between them
// left out), with whether any byte lies between sections, where that digest and one taken over the
// file in a straight run (as osslsigncode signs) part ways.
// Usage: verify_carrier EXE [DOCUMENT]; exit 0 when the exe is a carrier (and matches DOCUMENT).
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string_view>
#include <sstream>
#include <string>
#include <vector>

#include <openssl/evp.h>
#include <zlib.h>

#include "resource_ids.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::optional<Bytes> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    std::string text = content.str();
    return Bytes(text.begin(), text.end());
}

std::string Hex(const unsigned char* digest, unsigned int length) {
    std::string hex;
    char digits[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", digest[i]);
        hex += digits;
    }
    return hex;
}

// SHA-256 as lower-case hex, from OpenSSL's libcrypto.
std::string Sha256(const uint8_t* data, size_t size) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data, size, digest, &length, EVP_sha256(), nullptr) != 1)
        return "(sha256 failed)";
    return Hex(digest, length);
}

// Bounds-checked little-endian reads: a malformed file is reported, never read past.
struct Image {
    const Bytes& bytes;
    bool ok = true;

    uint32_t Read(size_t offset, int width) {
        if (offset + width > bytes.size()) {
            ok = false;
            return 0;
        }
        uint32_t value = 0;
        for (int i = width - 1; i >= 0; --i)
            value = value << 8 | bytes[offset + i];
        return value;
    }
};

struct Section {
    uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

struct Pe {
    uint16_t machine = 0;
    uint16_t magic = 0;
    uint16_t subsystem = 0;
    uint32_t resourceRva = 0;
    size_t checksumField = 0;
    size_t certificateEntry = 0;
    uint32_t headersSize = 0;
    uint32_t certificateSize = 0;
    std::vector<Section> sections;
};

std::optional<size_t> FileOffset(const Pe& pe, uint32_t rva) {
    for (const Section& s : pe.sections)
        if (rva >= s.virtualAddress && rva < s.virtualAddress + std::max(s.virtualSize, s.rawSize))
            return rva - s.virtualAddress + s.rawOffset;
    return std::nullopt;
}

std::optional<Pe> ReadHeaders(Image& image) {
    if (image.Read(0, 2) != 0x5A4D)
        return std::nullopt;
    uint32_t pe = image.Read(0x3C, 4);
    if (image.Read(pe, 4) != 0x4550)
        return std::nullopt;
    Pe headers;
    headers.machine = static_cast<uint16_t>(image.Read(pe + 4, 2));
    uint32_t sectionCount = image.Read(pe + 6, 2);
    uint32_t optionalSize = image.Read(pe + 20, 2);
    size_t optional = pe + 24;
    headers.magic = static_cast<uint16_t>(image.Read(optional, 2));
    headers.subsystem = static_cast<uint16_t>(image.Read(optional + 68, 2));
    size_t directories = optional + (headers.magic == 0x20b ? 112 : 96);
    headers.resourceRva = image.Read(directories + 2 * 8, 4);
    headers.checksumField = optional + 64;
    headers.headersSize = image.Read(optional + 60, 4);
    headers.certificateEntry = directories + 4 * 8;
    headers.certificateSize = image.Read(headers.certificateEntry + 4, 4);
    size_t table = optional + optionalSize;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        size_t s = table + 40 * i;
        headers.sections.push_back({image.Read(s + 12, 4), image.Read(s + 8, 4),
                                    image.Read(s + 20, 4), image.Read(s + 16, 4)});
    }
    return image.ok ? std::optional<Pe>(headers) : std::nullopt;
}

std::string EntryName(Image& image, size_t resourceBase, uint32_t nameField) {
    if (!(nameField & 0x80000000)) {
        std::string id = "#";
        return id += std::to_string(nameField);
    }
    size_t at = resourceBase + (nameField & 0x7FFFFFFF);
    uint32_t length = image.Read(at, 2);
    std::string name;
    for (uint32_t i = 0; i < length && image.ok; ++i)
        name += static_cast<char>(image.Read(at + 2 + 2 * i, 2));
    return name;
}

// Resource names match without regard to case, as the loader matches them.
bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

// Follows type, name and the first language down to the data: its file offset and size.
std::optional<std::pair<size_t, uint32_t>>
FindResource(Image& image, const Pe& pe, const std::string& type, const std::string& name) {
    std::optional<size_t> base = FileOffset(pe, pe.resourceRva);
    if (!base || pe.resourceRva == 0)
        return std::nullopt;
    size_t directory = *base;
    const std::string path[2] = {type, name};
    for (int level = 0; level < 3; ++level) {
        uint32_t count = image.Read(directory + 12, 2) + image.Read(directory + 14, 2);
        uint32_t found = 0;
        for (uint32_t i = 0; i < count && image.ok; ++i) {
            size_t entry = directory + 16 + 8 * i;
            if (level == 2 ||
                SameName(EntryName(image, *base, image.Read(entry, 4)), path[level])) {
                found = image.Read(entry + 4, 4);
                break;
            }
        }
        if (found == 0 || !image.ok)
            return std::nullopt;
        if (level < 2 && !(found & 0x80000000))
            return std::nullopt;
        if (level == 2) {
            size_t data = *base + found;
            std::optional<size_t> at = FileOffset(pe, image.Read(data, 4));
            uint32_t size = image.Read(data + 4, 4);
            if (!at || *at + size > image.bytes.size())
                return std::nullopt;
            return std::make_pair(*at, size);
        }
        directory = *base + (found & 0x7FFFFFFF);
    }
    return std::nullopt;
}

// UTF-16 (little-endian) units as UTF-8, up to `units` or a NUL.
std::string Utf8Of(Image& image, size_t at, size_t units) {
    std::string text;
    for (size_t i = 0; i < units && image.ok; ++i) {
        uint32_t unit = image.Read(at + 2 * i, 2);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (image.Read(at + 2 * ++i, 2) - 0xDC00);
        }
        if (unit < 0x80) {
            text += static_cast<char>(unit);
        } else if (unit < 0x800) {
            text += static_cast<char>(0xC0 | unit >> 6);
            text += static_cast<char>(0x80 | (unit & 0x3F));
        } else if (unit < 0x10000) {
            text += static_cast<char>(0xE0 | unit >> 12);
            text += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | unit >> 18);
            text += static_cast<char>(0x80 | (unit >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return text;
}

// One node of a version resource: its key, its value and where its children lie.
struct VersionNode {
    std::string key;
    size_t value;
    uint32_t valueLength;
    bool text;
    size_t children;
    size_t end;
};

VersionNode ReadVersionNode(Image& image, size_t base, size_t at) {
    VersionNode node;
    node.end = at + image.Read(at, 2);
    node.valueLength = image.Read(at + 2, 2);
    node.text = image.Read(at + 4, 2) == 1;
    node.key = Utf8Of(image, at + 6, 64);
    auto align = [base](size_t offset) { return base + ((offset - base + 3) & ~size_t{3}); };
    node.value = align(at + 6 + 2 * (node.key.size() + 1));
    node.children = align(node.value + (node.text ? 2 : 1) * node.valueLength);
    return node;
}

// The version resource: the fixed file version and every text of every language block.
void ReportVersion(Image& image, const Pe& pe) {
    auto found = FindResource(image, pe, "#16", "#1");
    if (!found) {
        std::printf("version: none\n");
        return;
    }
    size_t base = found->first;
    VersionNode root = ReadVersionNode(image, base, base);
    if (root.key != "VS_VERSION_INFO" || root.valueLength < 52 ||
        image.Read(root.value, 4) != 0xFEEF04BD) {
        std::printf("version: not a version resource\n");
        return;
    }
    uint32_t high = image.Read(root.value + 8, 4);
    uint32_t low = image.Read(root.value + 12, 4);
    std::printf("version: file %u.%u.%u.%u\n", high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF);
    for (size_t at = root.children; at + 6 < root.end && image.ok;) {
        VersionNode info = ReadVersionNode(image, base, at);
        for (size_t block = info.children; info.key == "StringFileInfo" && block < info.end;) {
            VersionNode language = ReadVersionNode(image, base, block);
            for (size_t string = language.children; string < language.end && image.ok;) {
                VersionNode value = ReadVersionNode(image, base, string);
                std::printf("version: %s %s: %s\n", language.key.c_str(), value.key.c_str(),
                            Utf8Of(image, value.value, value.valueLength).c_str());
                string = base + ((value.end - base + 3) & ~size_t{3});
            }
            block = base + ((language.end - base + 3) & ~size_t{3});
        }
        at = base + ((info.end - base + 3) & ~size_t{3});
    }
}

// The volume in the program name: "Wendelkamm", 1 to 4 digits and a NUL.
std::optional<std::string> ProgramVolume(const Bytes& exe) {
    const std::string prefix = "Wendelkamm";
    std::string_view text(reinterpret_cast<const char*>(exe.data()), exe.size());
    for (size_t at = text.find(prefix); at != std::string_view::npos;
         at = text.find(prefix, at + 1)) {
        size_t digits = at + prefix.size();
        size_t end = digits;
        while (end < text.size() && end - digits < 5 && text[end] >= '0' && text[end] <= '9')
            ++end;
        if (end > digits && end - digits <= 4 && end < text.size() && text[end] == 0)
            return std::string(text.substr(digits, end - digits));
    }
    return std::nullopt;
}

// The size and CRC-32 the build recorded beside TH (THSUM), against the carried bytes.
bool ReportChecksum(Image& image, const Pe& pe, const Bytes& exe,
                    const std::pair<size_t, uint32_t>& document) {
    auto record = FindResource(image, pe, "#10", DOCUMENT_CHECKSUM_RESOURCE);
    if (!record || record->second != 8) {
        std::printf("checksum: no size and CRC-32 record THSUM\n");
        return false;
    }
    uint32_t size = image.Read(record->first, 4);
    uint32_t crc = image.Read(record->first + 4, 4);
    uint32_t carried =
        static_cast<uint32_t>(crc32(0, exe.data() + document.first, document.second));
    bool same = size == document.second && crc == carried;
    std::printf("checksum: %u bytes, crc32 %08x stored; %u bytes, crc32 %08x carried: %s\n", size,
                crc, document.second, carried, same ? "intact" : "DAMAGED");
    return same;
}

// Sections with raw data in file order, and whether each begins where the one before ends, the
// first right after the headers.
bool SectionsWithoutGaps(const Pe& pe, std::vector<Section>& sorted) {
    for (const Section& section : pe.sections)
        if (section.rawSize != 0)
            sorted.push_back(section);
    std::sort(sorted.begin(), sorted.end(),
              [](const Section& a, const Section& b) { return a.rawOffset < b.rawOffset; });
    uint32_t end = pe.headersSize;
    bool contiguous = true;
    for (const Section& section : sorted) {
        contiguous = contiguous && section.rawOffset == end;
        end = section.rawOffset + section.rawSize;
    }
    return contiguous;
}

// The digest a signature signs, the published way: the headers without the checksum and the
// certificate table's entry, the sections in file order, then what follows them less the
// certificates. Empty for a file too short for its own headers.
std::string SignatureDigest(const Bytes& exe, const Pe& pe, const std::vector<Section>& sorted) {
    if (pe.headersSize > exe.size() || pe.certificateEntry + 8 > pe.headersSize)
        return "";
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
    auto hash = [&](size_t from, size_t to) { EVP_DigestUpdate(context, &exe[from], to - from); };
    hash(0, pe.checksumField);
    hash(pe.checksumField + 4, pe.certificateEntry);
    hash(pe.certificateEntry + 8, pe.headersSize);
    size_t hashed = pe.headersSize;
    bool inside = true;
    for (const Section& section : sorted) {
        inside = inside && size_t{section.rawOffset} + section.rawSize <= exe.size();
        if (inside)
            hash(section.rawOffset, section.rawOffset + section.rawSize);
        hashed += section.rawSize;
    }
    if (inside && exe.size() > hashed + pe.certificateSize)
        hash(hashed, exe.size() - pe.certificateSize);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest, &length);
    EVP_MD_CTX_free(context);
    return inside ? Hex(digest, length) : "";
}

const char* MachineName(uint16_t machine) {
    return machine == 0x14c ? "i386" : machine == 0x8664 ? "x86_64" : "other";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: verify_carrier EXE [DOCUMENT]\n");
        return 2;
    }
    std::optional<Bytes> exe = ReadFile(argv[1]);
    if (!exe) {
        std::fprintf(stderr, "verify_carrier: cannot read %s\n", argv[1]);
        return 2;
    }
    Image image{*exe};
    std::optional<Pe> pe = ReadHeaders(image);
    if (!pe) {
        std::printf("not a PE file: %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    std::printf("machine: %s (0x%x), %s\n", MachineName(pe->machine), pe->machine,
                pe->magic == 0x10b ? "PE32" : "PE32+");
    std::printf("subsystem: %u%s\n", pe->subsystem, pe->subsystem == 2 ? " (GUI)" : "");

    auto document = FindResource(image, *pe, "#10", DOCUMENT_RESOURCE);
    if (!document) {
        std::printf("document: no raw-data resource TH\n");
        ok = false;
    } else {
        std::string hash = Sha256(exe->data() + document->first, document->second);
        std::printf("document: %u bytes, sha256 %s\n", document->second, hash.c_str());
        ok = ReportChecksum(image, *pe, *exe, *document) && ok;
        if (argc == 3) {
            std::optional<Bytes> given = ReadFile(argv[2]);
            bool same = given && given->size() == document->second &&
                        Sha256(given->data(), given->size()) == hash;
            std::printf("matches %s: %s\n", argv[2], same ? "yes" : "no");
            ok = ok && same;
        }
    }

    std::optional<std::string> volume = ProgramVolume(*exe);
    if (volume) {
        std::printf("volume: %s (program name Wendelkamm%s)\n", volume->c_str(), volume->c_str());
    } else {
        std::printf("volume: no program name found\n");
        ok = false;
    }

    std::vector<Section> sorted;
    bool contiguous = SectionsWithoutGaps(*pe, sorted);
    std::printf("sections: %s\n", contiguous
                                      ? "every byte from the headers to the last section in one"
                                      : "BYTES BETWEEN SECTIONS");
    std::string digest = SignatureDigest(*exe, *pe, sorted);
    std::printf("signature digest: sha256 %s\n",
                digest.empty() ? "(sections outside the file)" : digest.c_str());
    ok = ok && contiguous && !digest.empty();

    ReportVersion(image, *pe);
    auto manifest = FindResource(image, *pe, "#24", "#1");
    if (manifest) {
        std::printf("manifest:\n%.*s\n", static_cast<int>(manifest->second),
                    reinterpret_cast<const char*>(exe->data() + manifest->first));
    } else {
        std::printf("manifest: none\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
