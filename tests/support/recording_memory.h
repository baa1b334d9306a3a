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

// Counts a request against remainingSuccesses: false once they are used up.
inline bool RecordedRequestMaySucceed() {
    if (RecordedMemory.remainingSuccesses < 0)
        return true;
    if (RecordedMemory.remainingSuccesses == 0)
        return false;
    --RecordedMemory.remainingSuccesses;
    return true;
}
