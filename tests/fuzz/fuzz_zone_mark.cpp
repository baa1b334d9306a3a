// ParseZoneMark on any bytes: it stays inside them, gives a zone from 0 to 4 and a HostUrl
// without control characters; a mark it writes reads back as written.
#include <string>

#include "core/zone_text.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    uint8_t flags = input.Byte();
    std::string host = input.Bytes(64);
    std::string text = input.Rest();
    // An exact-size heap copy, so that a read past the end is seen.
    char* bytes = new char[text.size() + 1];
    text.copy(bytes, text.size());
    ZoneMark mark = ParseZoneMark(bytes, static_cast<int32_t>(text.size()), flags & 1);
    FUZZ_CHECK(mark.zone >= 0 && mark.zone <= kZoneRestricted);
    FUZZ_CHECK(mark.hostUrl.length == 0 ||
               (mark.hostUrl.text >= bytes &&
                mark.hostUrl.text + mark.hostUrl.length <= bytes + text.size()));
    for (int32_t i = 0; i < mark.hostUrl.length; ++i)
        FUZZ_CHECK(static_cast<unsigned char>(mark.hostUrl.text[i]) >= 0x20);
    delete[] bytes;

    bool plain = true;
    for (char c : host)
        plain = plain && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F;
    if (!plain)
        return 0;
    int32_t zone = kZoneInternet + (flags >> 1 & 1);
    StringVariable written = {};
    StrReset(written, kDefaultSizeHint);
    StrAppendZoneMark(written, zone, {"C:\\W.exe", 8},
                      {host.data(), static_cast<int32_t>(host.size())});
    ZoneMark reread = ParseZoneMark(written.text, written.length, false);
    FUZZ_CHECK(reread.zone == zone);
    FUZZ_CHECK(std::string(reread.hostUrl.text, reread.hostUrl.length) == host);
    BlockRelease(written.block);
    return 0;
}
