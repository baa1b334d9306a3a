#include "support/recording_memory.h"

#include <windows.h>

#include "core/memory.h"

MemoryBlock BlockAllocate(uint32_t bytes) {
    return RecordRequest(RecordedMemory.allocations, bytes) ? GlobalAlloc(0x2042, bytes) : nullptr;
}

MemoryBlock BlockResize(MemoryBlock block, uint32_t bytes) {
    return RecordRequest(RecordedMemory.resizes, bytes) ? GlobalReAlloc(block, bytes, 0x2042)
                                                        : nullptr;
}

void BlockRelease(MemoryBlock block) {
    ++RecordedMemory.releases;
    GlobalFree(block);
}

uint32_t BlockUsableSize(MemoryBlock block) {
    return static_cast<uint32_t>(GlobalSize(block));
}

char* BlockAddress(MemoryBlock block) {
    return static_cast<char*>(GlobalLock(block));
}
