// The program's own resources.
#pragma once

#include <cstdint>

#include "strings.h"

// Copies the named resource into dest (already reset); a name under no known type is fatal.
void ResourceLoad(StringVariable& dest, const char* name);
// Appends the named resource to dest (already reset) as ResourceLoad does and gives the CRC-32 of
// its bytes, summed while they are copied.
uint32_t ResourceLoadSummed(StringVariable& dest, const char* name);
// The named resource's bytes in the program's image, or a null text where there is none.
TextView ResourceBytes(const char* name);
