// Dynamic, binary-safe strings on the global heap, the temporary ring and plain memory routines.
#pragma once
#include <cstdint>

#include "memory.h"

// A string variable; it can also stand for an open file (see files.h).
struct StringVariable {
    char* text;
    int32_t position;
    int32_t length;
    int32_t capacity;
    MemoryBlock block;
    void* file;
    int32_t mode;
};

#if defined(__i386__)
static_assert(sizeof(StringVariable) == 28, "a string variable is seven 32-bit fields");
#endif

// A string result: the bytes and their count; valid until its variable changes.
struct TextView {
    const char* text;
    int32_t length;
};

inline constexpr int32_t kDefaultSizeHint = 59;
inline constexpr int kTemporaryCount = 8;

extern StringVariable TemporaryRing[kTemporaryCount];
extern const char EmptyText[1];

void StrReset(StringVariable& var, int32_t hint);
void StrGrow(StringVariable& var, uint32_t n);
TextView StrAppend(StringVariable& var, const void* bytes, int32_t count);
TextView StrAssign(StringVariable& var, const void* bytes, int32_t count);
// Makes room for count bytes at the position as an append of them would, moves past them and
// gives where they go (null for none), for a caller that fills them itself.
char* StrAppendRoom(StringVariable& var, int32_t count);
TextView StrSyncLength(StringVariable& var);
inline TextView StrView(const StringVariable& var) {
    return {var.text, var.length};
}

// Like StrReset, but reports a block that cannot be had instead of ending the program.
bool StrTryReset(StringVariable& var, int32_t hint);

int32_t TextLength(const char* text);
void BlockCopy(const void* source, void* destination, int32_t count);
void BlockFill(void* destination, int32_t count, uint8_t value);

StringVariable& NextTemporary();
