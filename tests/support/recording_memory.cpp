#include "support/recording_memory.h"

#include <windows.h>

#include "core/memory.h"

MemoryLog RecordedMemory = {0, 0, 0, 0, -1};

void ResetMemoryLog() {
    RecordedMemory = {0, 0, 0, 0, -1};
}

MemoryBlock BlockAllocate(uint32_t bytes) {
    ++RecordedMemory.allocations;
    RecordedMemory.lastRequest = bytes;
    return RecordedRequestMaySucceed() ? GlobalAlloc(0x2042, bytes) : nullptr;
}

MemoryBlock BlockResize(MemoryBlock block, uint32_t bytes) {
    ++RecordedMemory.resizes;
    RecordedMemory.lastRequest = bytes;
    return RecordedRequestMaySucceed() ? GlobalReAlloc(block, bytes, 0x2042) : nullptr;
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
