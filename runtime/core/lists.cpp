#include "lists.h"

#include "text.h"

static const char kLineEnd[2] = {'\r', '\n'};
static constexpr int32_t kJoinSizeHint = 123;

static StringVariable joinVariable;

// Byte range of item n, its CR LF excluded; false when the list has fewer items.
static bool LocateItem(const char* text, int32_t tlen, int32_t n, int32_t* begin, int32_t* end) {
    if (n < 0)
        return false;
    int32_t start = 1;
    for (int32_t item = 0; start <= tlen; ++item) {
        int32_t hit = TextFind(kLineEnd, 2, text, tlen, start);
        int32_t stop = hit > 0 ? hit : tlen + 1;
        if (item == n) {
            *begin = start - 1;
            *end = stop - 1;
            return true;
        }
        if (hit <= 0)
            return false;
        start = hit + 2;
    }
    return false;
}

TextView ListAdd(StringVariable& list, const char* item, int32_t count) {
    StrAppend(list, item, count);
    return StrAppend(list, kLineEnd, 2);
}

int32_t ListFind(const StringVariable& list, const char* item, int32_t count) {
    const char* text = list.text;
    int32_t length = list.length;
    int32_t start = 0;
    for (;;) {
        start += 1;
        if (start >= length)
            return -1;
        int32_t hit = TextFind(item, count, text, length, start);
        if (hit <= 0)
            return -1;
        start = hit;
        int32_t after = hit - 1 + count;
        if (after >= length)
            return -1;
        bool startsItem = hit == 1 || text[hit - 2] == '\n';
        if (startsItem && text[after] == '\r')
            return TextCount(kLineEnd, 2, text, hit);
    }
}

int32_t ListDelete(StringVariable& list, int32_t n, int32_t len) {
    if (len > list.length || len < 0)
        len = list.length;
    int32_t begin = 0;
    int32_t end = 0;
    if (!LocateItem(list.text, len, n, &begin, &end))
        return len;
    int32_t next = end + 2 <= len ? end + 2 : len;
    BlockCopy(list.text + next, list.text + begin, len - next);
    int32_t newLength = len - (next - begin);
    list.position = newLength;
    list.length = newLength;
    list.text[newLength] = 0;
    return newLength;
}

void ListInsert(StringVariable& list, const char* item, int32_t count, int32_t len, int32_t n) {
    if (len > list.length || len < 0)
        len = list.length;
    if (count < 0)
        count = 0;
    int32_t begin = 0;
    int32_t end = 0;
    int32_t at = LocateItem(list.text, len, n, &begin, &end) ? begin + 1 : len + 1;
    StringVariable& line = NextTemporary();
    StrReset(line, count + 2);
    StrAppend(line, item, count);
    StrAppend(line, kLineEnd, 2);
    TextView inserted = TextInsert(at, line.text, line.length, list.text, len);
    StrReset(list, len + count + 3);
    StrAssign(list, inserted.text, inserted.length);
}

static StringVariable& CopyItem(const StringVariable& list, int32_t begin, int32_t end) {
    StringVariable& copy = NextTemporary();
    StrReset(copy, end - begin);
    StrAssign(copy, list.text + begin, end - begin);
    return copy;
}

void ListSwap(StringVariable& list, int32_t a, int32_t b) {
    int32_t beginA = 0, endA = 0, beginB = 0, endB = 0;
    if (a == b || !LocateItem(list.text, list.length, a, &beginA, &endA) ||
        !LocateItem(list.text, list.length, b, &beginB, &endB))
        return;
    StringVariable& copyA = CopyItem(list, beginA, endA);
    StringVariable& copyB = CopyItem(list, beginB, endB);
    ListDelete(list, b, list.length);
    ListInsert(list, copyA.text, copyA.length, list.length, b);
    ListDelete(list, a, list.length);
    ListInsert(list, copyB.text, copyB.length, list.length, a);
}

TextView ListJoin(const char* sep, int32_t slen, int32_t last, int32_t first, const char* text,
                  int32_t tlen) {
    StrReset(joinVariable, kJoinSizeHint);
    bool firstItem = true;
    for (int32_t n = first < 0 ? 0 : first; n <= last; ++n) {
        int32_t begin = 0;
        int32_t end = 0;
        if (!LocateItem(text, tlen, n, &begin, &end))
            break;
        if (!firstItem)
            StrAppend(joinVariable, sep, slen);
        firstItem = false;
        StrAppend(joinVariable, text + begin, end - begin);
    }
    return StrView(joinVariable);
}
