// String lists under a random sequence of edits, against a vector of items.
#include <string>
#include <vector>

#include "core/lists.h"
#include "fuzz_input.h"

namespace {

// Items never hold CR or LF.
std::string Item(FuzzInput& input) {
    std::string item = input.Bytes(6);
    for (char& c : item)
        if (c == '\r' || c == '\n')
            c = 'x';
    return item;
}

std::string Serialised(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += item + "\r\n";
    return text;
}

int32_t ModelFind(const std::vector<std::string>& items, const std::string& item) {
    if (item.empty())
        return -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            return static_cast<int32_t>(i);
    return -1;
}

std::string ModelJoin(const std::vector<std::string>& items, const std::string& sep, int32_t first,
                      int32_t last) {
    std::string joined;
    for (int32_t n = first < 0 ? 0 : first; n <= last && n < static_cast<int32_t>(items.size());
         ++n)
        joined += (joined.empty() && n == (first < 0 ? 0 : first) ? "" : sep) + items[n];
    return joined;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    StringVariable list = {};
    StrReset(list, kDefaultSizeHint);
    std::vector<std::string> items;
    for (int step = 0; step < 64 && !input.Empty(); ++step) {
        uint8_t op = input.Byte() % 6;
        int32_t a = input.Byte() % 8;
        int32_t b = input.Byte() % 8;
        int32_t count = static_cast<int32_t>(items.size());
        if (op == 0) {
            std::string item = Item(input);
            ListAdd(list, item.data(), static_cast<int32_t>(item.size()));
            items.push_back(item);
        } else if (op == 1) {
            std::string item = Item(input);
            FUZZ_CHECK(ListFind(list, item.data(), static_cast<int32_t>(item.size())) ==
                       ModelFind(items, item));
        } else if (op == 2) {
            ListDelete(list, a, list.length);
            if (a < count)
                items.erase(items.begin() + a);
        } else if (op == 3) {
            std::string item = Item(input);
            ListInsert(list, item.data(), static_cast<int32_t>(item.size()), list.length, a);
            items.insert(a < count ? items.begin() + a : items.end(), item);
        } else if (op == 4) {
            ListSwap(list, a, b);
            if (a < count && b < count)
                std::swap(items[a], items[b]);
        } else {
            std::string sep = input.Bytes(3);
            TextView joined = ListJoin(sep.data(), static_cast<int32_t>(sep.size()), b, a - 2,
                                       list.text, list.length);
            FUZZ_CHECK(std::string(joined.text, joined.length) == ModelJoin(items, sep, a - 2, b));
        }
        FUZZ_CHECK(std::string(list.text, list.length) == Serialised(items));
        FUZZ_CHECK(list.text[list.length] == 0);
        FUZZ_CHECK(list.length < list.capacity);
    }
    BlockRelease(list.block);
    return 0;
}
