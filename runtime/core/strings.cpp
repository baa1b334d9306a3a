#include "strings.h"

#include <cstddef>
#include <cstring>

#include "fatal.h"

StringVariable TemporaryRing[kTemporaryCount];
const char EmptyText[1] = {0};

static StringVariable* currentTemporary;

// `capacity` is a signed 32-bit field, so no block may be larger than this.
static constexpr int64_t kLargestBlock = INT32_MAX;
static constexpr int32_t kKeepSlack = 256;

// (hint + 16) XOR 3: at least hint + 13 bytes. A negative hint counts as 0.
static int64_t ResetRequest(int32_t hint) {
    return (static_cast<int64_t>(hint < 0 ? 0 : hint) + 16) ^ 3;
}

// About n * 1.25 + 16, two lowest bits inverted.
static int64_t GrowRequest(uint64_t n) {
    return static_cast<int64_t>((n + (n >> 2) + 16) ^ 3);
}

static void TakeBlock(StringVariable& var, MemoryBlock block) {
    var.block = block;
    uint32_t usable = BlockUsableSize(block);
    var.capacity =
        usable > kLargestBlock ? static_cast<int32_t>(kLargestBlock) : static_cast<int32_t>(usable);
    var.text = BlockAddress(block);
}

static void ForgetBlock(StringVariable& var) {
    var.block = nullptr;
    var.text = nullptr;
    var.capacity = 0;
    var.position = 0;
    var.length = 0;
}

bool StrTryReset(StringVariable& var, int32_t hint) {
    int64_t needed = ResetRequest(hint);
    if (needed > kLargestBlock)
        return false;
    int64_t slack = static_cast<int64_t>(var.capacity) - needed;
    if (var.block == nullptr || slack < 0 || slack >= kKeepSlack) {
        // Free first: the large document block must be gone before anything new is had.
        if (var.block != nullptr)
            BlockRelease(var.block);
        ForgetBlock(var);
        MemoryBlock block = BlockAllocate(static_cast<uint32_t>(needed));
        if (block == nullptr)
            return false;
        TakeBlock(var, block);
    }
    var.position = 0;
    var.length = 0;
    var.text[0] = 0;
    return true;
}

void StrReset(StringVariable& var, int32_t hint) {
    if (!StrTryReset(var, hint))
        FatalError(kErrorInsufficientMemory, nullptr);
}

void StrGrow(StringVariable& var, uint32_t n) {
    int64_t bytes = GrowRequest(n);
    if (bytes <= var.capacity)
        return;
    if (bytes > kLargestBlock)
        FatalError(kErrorInsufficientMemory, nullptr);
    MemoryBlock block = var.block != nullptr ? BlockResize(var.block, static_cast<uint32_t>(bytes))
                                             : BlockAllocate(static_cast<uint32_t>(bytes));
    if (block == nullptr)
        FatalError(kErrorInsufficientMemory, nullptr);
    TakeBlock(var, block);
}

static bool LiesInBlock(const StringVariable& var, const void* bytes) {
    auto address = reinterpret_cast<uintptr_t>(bytes);
    auto first = reinterpret_cast<uintptr_t>(var.text);
    return var.text != nullptr && address >= first &&
           address < first + static_cast<uint32_t>(var.capacity);
}

// Grows the block as an append of count bytes at the position needs it.
static void GrowForAppend(StringVariable& var, int32_t count) {
    int64_t needed = static_cast<int64_t>(var.position) + count + 1;
    if (var.capacity > needed)
        return;
    uint64_t request = static_cast<uint64_t>((needed + 128) ^ 3);
    if (request > UINT32_MAX)
        FatalError(kErrorInsufficientMemory, nullptr);
    StrGrow(var, static_cast<uint32_t>(request));
}

// After the position moved: the length follows it, with a NUL after the text.
static TextView EndAppend(StringVariable& var) {
    if (var.text == nullptr)
        return {EmptyText, 0};
    if (var.length <= var.position) {
        var.length = var.position;
        var.text[var.position] = 0;
    }
    return {var.text, var.position};
}

TextView StrAppend(StringVariable& var, const void* bytes, int32_t count) {
    if (count > 0) {
        const char* source = static_cast<const char*>(bytes);
        // A source inside our own block moves with it when the block grows.
        bool ownBytes = LiesInBlock(var, source);
        ptrdiff_t offset = ownBytes ? source - var.text : 0;
        GrowForAppend(var, count);
        if (ownBytes)
            source = var.text + offset;
        BlockCopy(source, var.text + var.position, count);
        var.position += count;
    }
    return EndAppend(var);
}

char* StrAppendRoom(StringVariable& var, int32_t count) {
    if (count <= 0)
        return nullptr;
    GrowForAppend(var, count);
    char* room = var.text + var.position;
    var.position += count;
    EndAppend(var);
    return room;
}

TextView StrAssign(StringVariable& var, const void* bytes, int32_t count) {
    var.position = 0;
    var.length = 0;
    StrAppend(var, bytes, count);
    return {var.text != nullptr ? var.text : EmptyText, var.length};
}

TextView StrSyncLength(StringVariable& var) {
    if (var.text == nullptr)
        return {EmptyText, 0};
    // Never look past the block, even if a system call left no NUL in it.
    const void* nul = memchr(var.text, 0, static_cast<size_t>(var.capacity));
    int32_t n = nul != nullptr ? static_cast<int32_t>(static_cast<const char*>(nul) - var.text)
                               : var.capacity - 1;
    var.text[n] = 0;
    var.position = n;
    var.length = n;
    return {var.text, n};
}

int32_t TextLength(const char* text) {
    return static_cast<int32_t>(strlen(text));
}

// Overlapping ranges are allowed: list edits move text down inside one block.
void BlockCopy(const void* source, void* destination, int32_t count) {
    if (count > 0)
        memmove(destination, source, static_cast<size_t>(count));
}

void BlockFill(void* destination, int32_t count, uint8_t value) {
    if (count > 0)
        memset(destination, value, static_cast<size_t>(count));
}

StringVariable& NextTemporary() {
    if (currentTemporary == nullptr || currentTemporary < TemporaryRing ||
        currentTemporary >= TemporaryRing + kTemporaryCount - 1)
        currentTemporary = TemporaryRing;
    else
        ++currentTemporary;
    return *currentTemporary;
}
