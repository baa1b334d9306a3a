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

inline MemoryLog RecordedMemory = {0, 0, 0, 0, -1};

inline void ResetMemoryLog() {
    RecordedMemory = {0, 0, 0, 0, -1};
}

// Counts a request of the size in the counter and against remainingSuccesses: false once these are
// used up.
inline bool RecordRequest(int& counter, uint32_t bytes) {
    ++counter;
    RecordedMemory.lastRequest = bytes;
    if (RecordedMemory.remainingSuccesses < 0)
        return true;
    if (RecordedMemory.remainingSuccesses == 0)
        return false;
    --RecordedMemory.remainingSuccesses;
    return true;
}
