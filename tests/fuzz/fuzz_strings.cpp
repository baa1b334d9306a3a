// StrAppend, StrAssign, StrReset and writes inside the text, with sources inside the variable's
// own block, against a std::string and a write position.
#include <algorithm>
#include <string>

#include "core/strings.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    StringVariable var = {};
    StrReset(var, kDefaultSizeHint);
    std::string model;
    size_t position = 0;
    for (int step = 0; step < 64 && !input.Empty(); ++step) {
        uint8_t op = input.Byte() % 6;
        std::string bytes;
        const char* source = nullptr;
        if (op == 0 || op == 1) {
            bytes = input.Bytes(200);
            source = bytes.data();
        } else if ((op == 2 || op == 3) && !model.empty()) {
            // A source inside the variable's own text: it must survive the block growing.
            size_t offset = input.Byte() % model.size();
            size_t count = input.Byte() % (model.size() - offset + 1);
            bytes = model.substr(offset, count);
            source = var.text + offset;
        } else if (op == 4) {
            StrReset(var, input.Byte() * 4);
            model.clear();
            position = 0;
        } else if (op == 5) {
            position = model.empty() ? 0 : input.Byte() % (model.size() + 1);
            var.position = static_cast<int32_t>(position);
        }
        if (source != nullptr) {
            auto count = static_cast<int32_t>(bytes.size());
            if (op % 2 == 1) {
                StrAssign(var, source, count);
                model = bytes;
                position = bytes.size();
            } else {
                StrAppend(var, source, count);
                model.replace(position, std::min(bytes.size(), model.size() - position), bytes);
                position += bytes.size();
            }
        }
        FUZZ_CHECK(std::string(var.text, var.length) == model);
        FUZZ_CHECK(var.position == static_cast<int32_t>(position));
        FUZZ_CHECK(var.length < var.capacity);
        FUZZ_CHECK(var.text[var.length] == 0);
    }
    BlockRelease(var.block);
    return 0;
}
