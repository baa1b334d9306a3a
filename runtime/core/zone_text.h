// The text of a download's mark (a Zone.Identifier stream): read from the program's own file,
// written onto the document it saves. Platform-free, so that the host fuzzes it.
#pragma once
#include <cstdint>

#include "strings.h"

inline constexpr int32_t kZoneInternet = 3;
inline constexpr int32_t kZoneRestricted = 4;
// The most of a mark that is read: real marks are a few lines.
inline constexpr int32_t kZoneMarkMostBytes = 4096;

struct ZoneMark {
    int32_t zone;
    // The address the download came from, or empty; never holds a control character.
    TextView hostUrl;
};

// The zone and the HostUrl of a mark, from the first line that begins "ZoneId=" and the first
// that begins "HostUrl=", as Windows writes them. A mark that gives no zone from 0 to 4 in that
// form (malformed, binary, UTF-16, none given) is taken for the Internet. `cut` says that more
// bytes followed the count read, so an unfinished last line is not taken.
ZoneMark ParseZoneMark(const char* text, int32_t count, bool cut);

// Appends the mark a document saved from the program's file gets: the zone, the program's file as
// ReferrerUrl (UTF-8), and the HostUrl where there is one.
void StrAppendZoneMark(StringVariable& mark, int32_t zone, TextView referrer, TextView hostUrl);
