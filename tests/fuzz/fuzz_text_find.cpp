// TextFind and TextCount against std::string's find.
#include <string>

#include "core/text.h"
#include "fuzz_input.h"

static int32_t ModelFind(const std::string& pattern, const std::string& text, int32_t start) {
    int32_t tlen = static_cast<int32_t>(text.size());
    if (pattern.empty() || start < 1 || start > tlen)
        return 0;
    size_t at = text.find(pattern, static_cast<size_t>(start - 1));
    return at == std::string::npos ? 0 : static_cast<int32_t>(at) + 1;
}

static int32_t ModelCount(const std::string& pattern, const std::string& text) {
    if (pattern.empty())
        return 0;
    int32_t count = 0;
    for (size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + pattern.size()))
        ++count;
    return count;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    int32_t start = static_cast<int8_t>(input.Byte());
    std::string pattern = input.Bytes(8);
    std::string text = input.Rest();
    int32_t plen = static_cast<int32_t>(pattern.size());
    int32_t tlen = static_cast<int32_t>(text.size());
    FUZZ_CHECK(TextFind(pattern.data(), plen, text.data(), tlen, start) ==
               ModelFind(pattern, text, start));
    FUZZ_CHECK(TextCount(pattern.data(), plen, text.data(), tlen) == ModelCount(pattern, text));
    return 0;
}
