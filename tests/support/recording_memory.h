// The memory seam over the global heap, recording what the string run time asks for.
#pragma once
#include <cstdint>

struct MemoryLog {
    int allocations;
    int resizes;
    int releases;
    uint32_t lastRequest;
    // Requests that may still succeed; negative means no limit.
    int remainingSuccesses;
};

extern MemoryLog RecordedMemory;

void ResetMemoryLog();
