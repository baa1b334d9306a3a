// On the host a fatal error is a test failure: it says which, then aborts.
#include <cstdio>
#include <cstdlib>

#include "core/fatal.h"

const char ApplicationName[] = "host";

void FatalError(int index, const char* extra) {
    std::fprintf(stderr, "FatalError %d %s\n", index, extra != nullptr ? extra : "");
    std::abort();
}
