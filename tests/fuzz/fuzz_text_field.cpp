// TextField and TextInsert against a model built on std::string.
#include <string>

#include "core/text.h"
#include "fuzz_input.h"

static std::string ModelField(int32_t n, const std::string& sep, const std::string& text) {
    if (n < 1)
        return "";
    if (sep.empty())
        return n == 1 ? text : "";
    size_t begin = 0;
    for (int32_t field = 1; field < n; ++field) {
        size_t hit = text.find(sep, begin);
        if (hit == std::string::npos || begin >= text.size())
            return "";
        begin = hit + sep.size();
    }
    size_t hit = begin < text.size() ? text.find(sep, begin) : std::string::npos;
    return text.substr(begin, hit == std::string::npos ? std::string::npos : hit - begin);
}

static std::string ModelInsert(int32_t pos, const std::string& src, const std::string& text) {
    size_t before = pos < 1 ? 0 : static_cast<size_t>(pos - 1);
    before = before > text.size() ? text.size() : before;
    return text.substr(0, before) + src + text.substr(before);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    int32_t n = static_cast<int8_t>(input.Byte());
    int32_t pos = static_cast<int8_t>(input.Byte());
    std::string sep = input.Bytes(4);
    std::string text = input.Rest();
    TextView field = TextField(n, sep.data(), static_cast<int32_t>(sep.size()), text.data(),
                               static_cast<int32_t>(text.size()));
    FUZZ_CHECK(std::string(field.text, field.length) == ModelField(n, sep, text));
    TextView inserted = TextInsert(pos, sep.data(), static_cast<int32_t>(sep.size()), text.data(),
                                   static_cast<int32_t>(text.size()));
    FUZZ_CHECK(std::string(inserted.text, inserted.length) == ModelInsert(pos, sep, text));
    FUZZ_CHECK(inserted.text[inserted.length] == 0);
    return 0;
}
