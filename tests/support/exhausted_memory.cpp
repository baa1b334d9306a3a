// A heap with nothing left: every request fails.
#include "core/memory.h"

MemoryBlock BlockAllocate(uint32_t) {
    return nullptr;
}
MemoryBlock BlockResize(MemoryBlock, uint32_t) {
    return nullptr;
}
void BlockRelease(MemoryBlock) {}
uint32_t BlockUsableSize(MemoryBlock) {
    return 0;
}
char* BlockAddress(MemoryBlock) {
    return nullptr;
}
