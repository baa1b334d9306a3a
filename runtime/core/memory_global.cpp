#include "memory.h"

#include <windows.h>

// GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE
static constexpr UINT kBlockFlags = 0x2042;

MemoryBlock BlockAllocate(uint32_t bytes) {
    return GlobalAlloc(kBlockFlags, bytes);
}

MemoryBlock BlockResize(MemoryBlock block, uint32_t bytes) {
    return GlobalReAlloc(block, bytes, kBlockFlags);
}

void BlockRelease(MemoryBlock block) {
    GlobalFree(block);
}

uint32_t BlockUsableSize(MemoryBlock block) {
    return static_cast<uint32_t>(GlobalSize(block));
}

// Blocks are locked once and never unlocked, so the address is stable between resizes.
char* BlockAddress(MemoryBlock block) {
    return static_cast<char*>(GlobalLock(block));
}
