#include "text.h"

#include <cstring>

#include "fatal.h"

int32_t TextFind(const char* pattern, int32_t plen, const char* text, int32_t tlen, int32_t start) {
    if (plen <= 0 || start < 1 || start > tlen || tlen - start + 1 < plen)
        return 0;
    const char* last = text + (tlen - plen);
    for (const char* candidate = text + (start - 1); candidate <= last; ++candidate) {
        candidate =
            static_cast<const char*>(memchr(candidate, static_cast<unsigned char>(pattern[0]),
                                            static_cast<size_t>(last - candidate + 1)));
        if (candidate == nullptr)
            return 0;
        if (memcmp(candidate + 1, pattern + 1, static_cast<size_t>(plen - 1)) == 0)
            return static_cast<int32_t>(candidate - text) + 1;
    }
    return 0;
}

int32_t TextCount(const char* pattern, int32_t plen, const char* text, int32_t tlen) {
    int32_t count = 0;
    int32_t start = 1;
    for (;;) {
        int32_t hit = TextFind(pattern, plen, text, tlen, start);
        if (hit <= 0)
            return count;
        ++count;
        start = hit + plen;
    }
}

TextView TextField(int32_t n, const char* sep, int32_t slen, const char* text, int32_t tlen) {
    if (n < 1)
        return {EmptyText, 0};
    int32_t begin = 1;
    for (int32_t field = 1; field < n; ++field) {
        int32_t hit = TextFind(sep, slen, text, tlen, begin);
        if (hit <= 0)
            return {EmptyText, 0};
        begin = hit + slen;
    }
    int32_t hit = TextFind(sep, slen, text, tlen, begin);
    int32_t end = hit > 0 ? hit : tlen + 1;
    int32_t length = end - begin;
    StringVariable& field = NextTemporary();
    StrReset(field, length);
    return StrAssign(field, text + begin - 1, length);
}

TextView TextInsert(int32_t pos, const char* src, int32_t slen, const char* text, int32_t tlen) {
    if (slen < 0)
        slen = 0;
    if (tlen < 0)
        tlen = 0;
    if (static_cast<int64_t>(tlen) + slen + 1 > INT32_MAX)
        FatalError(kErrorInsufficientMemory, nullptr);
    int32_t before = pos < 1 ? 0 : (pos - 1 > tlen ? tlen : pos - 1);
    StringVariable& result = NextTemporary();
    StrReset(result, tlen + slen + 1);
    StrAppend(result, text, before);
    StrAppend(result, src, slen);
    StrAppend(result, text + before, tlen - before);
    return StrView(result);
}
