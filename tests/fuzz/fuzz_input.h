// Reads fuzz input as small numbers and byte strings.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzInput {
    const uint8_t* data;
    size_t size;

    bool Empty() const { return size == 0; }

    uint8_t Byte() {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }

    // Up to `most` bytes, the count taken from the input.
    std::string Bytes(size_t most) {
        size_t count = Byte();
        count = count > most ? most : count;
        count = count > size ? size : count;
        std::string bytes(reinterpret_cast<const char*>(data), count);
        data += count;
        size -= count;
        return bytes;
    }

    std::string Rest() {
        std::string bytes(reinterpret_cast<const char*>(data), size);
        data += size;
        size = 0;
        return bytes;
    }
};

// Stops the fuzzer with a message when the routine and the model disagree.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            __builtin_printf("mismatch: %s (%s:%d)\n", #condition, __FILE__, __LINE__);            \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)
