#include "zone_text.h"

// What follows `key` on a line that begins with it, up to the line's end; empty (at `text`) where
// no whole line does. A value that holds a control character is none.
static TextView LineValue(const char* text, int32_t count, bool cut, const char* key) {
    int32_t keyLength = TextLength(key);
    for (int32_t line = 0, end = 0; line < count; line = end + 1) {
        end = line;
        while (end < count && text[end] != '\n')
            ++end;
        if (end == count && cut)
            break;
        int32_t valueEnd = end > line && text[end - 1] == '\r' ? end - 1 : end;
        int32_t i = 0;
        while (i < keyLength && line + i < valueEnd && text[line + i] == key[i])
            ++i;
        if (i < keyLength)
            continue;
        for (int32_t at = line + i; at < valueEnd; ++at)
            if (static_cast<unsigned char>(text[at]) < 0x20 || text[at] == 0x7F)
                return {text, 0};
        return {text + line + i, valueEnd - line - i};
    }
    return {text, 0};
}

ZoneMark ParseZoneMark(const char* text, int32_t count, bool cut) {
    TextView zone = LineValue(text, count, cut, "ZoneId=");
    bool given = zone.length == 1 && zone.text[0] >= '0' && zone.text[0] <= '0' + kZoneRestricted;
    return {given ? zone.text[0] - '0' : kZoneInternet, LineValue(text, count, cut, "HostUrl=")};
}

void StrAppendZoneMark(StringVariable& mark, int32_t zone, TextView referrer, TextView hostUrl) {
    const char digit = static_cast<char>('0' + zone);
    StrAppend(mark, "[ZoneTransfer]\r\nZoneId=", 23);
    StrAppend(mark, &digit, 1);
    StrAppend(mark, "\r\nReferrerUrl=", 14);
    StrAppend(mark, referrer.text, referrer.length);
    if (hostUrl.length > 0) {
        StrAppend(mark, "\r\nHostUrl=", 10);
        StrAppend(mark, hostUrl.text, hostUrl.length);
    }
    StrAppend(mark, "\r\n", 2);
}
