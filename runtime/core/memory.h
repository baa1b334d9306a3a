// The one seam between the string run time and the platform's heap.
// The program links the global-heap implementation; host builds and tests link their own.
#pragma once
#include <cstdint>

using MemoryBlock = void*;

// A zero-filled, movable block of at least `bytes` bytes, or null.
MemoryBlock BlockAllocate(uint32_t bytes);
// Resizes keeping the content (added bytes zero); the block may move. Null on failure, and
// the old block then stays valid.
MemoryBlock BlockResize(MemoryBlock block, uint32_t bytes);
void BlockRelease(MemoryBlock block);
// Usable bytes, at least what was requested.
uint32_t BlockUsableSize(MemoryBlock block);
// The block's address; stays valid until the block is resized or released.
char* BlockAddress(MemoryBlock block);
