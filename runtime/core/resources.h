// The program's own resources.
#pragma once

#include "strings.h"

// Copies the named resource into dest (already reset); a name under no known type is fatal.
void ResourceLoad(StringVariable& dest, const char* name);
