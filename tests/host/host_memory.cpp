// The memory seam on the host heap, with the same recording the Windows tests use: lets the
// platform-free string routines run under the sanitizers and the fuzzers.
#include <cstdlib>
#include <cstring>

#include "core/memory.h"
#include "support/recording_memory.h"

namespace {

// Each block starts with its size; the caller sees the bytes after it.
struct Header {
    uint32_t size;
    uint32_t padding[3];
};

} // namespace

MemoryBlock BlockAllocate(uint32_t bytes) {
    if (!RecordRequest(RecordedMemory.allocations, bytes))
        return nullptr;
    auto* header = static_cast<Header*>(std::calloc(1, sizeof(Header) + bytes));
    if (header != nullptr)
        header->size = bytes;
    return header;
}

MemoryBlock BlockResize(MemoryBlock block, uint32_t bytes) {
    if (!RecordRequest(RecordedMemory.resizes, bytes))
        return nullptr;
    auto* old = static_cast<Header*>(block);
    uint32_t oldSize = old->size;
    auto* header = static_cast<Header*>(std::realloc(old, sizeof(Header) + bytes));
    if (header == nullptr)
        return nullptr;
    if (bytes > oldSize)
        std::memset(reinterpret_cast<char*>(header + 1) + oldSize, 0, bytes - oldSize);
    header->size = bytes;
    return header;
}

void BlockRelease(MemoryBlock block) {
    ++RecordedMemory.releases;
    std::free(block);
}

uint32_t BlockUsableSize(MemoryBlock block) {
    return static_cast<Header*>(block)->size;
}

char* BlockAddress(MemoryBlock block) {
    return reinterpret_cast<char*>(static_cast<Header*>(block) + 1);
}
