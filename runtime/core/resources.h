// The program's own resources.
#pragma once

#include <windows.h>

#include <cstdint>

#include "strings.h"

// Copies the named resource into dest (already reset); a name under no known type is fatal.
void ResourceLoad(StringVariable& dest, const char* name);
// Appends the named resource to dest (already reset) as the program's own file holds it, and gives
// the CRC-32 of its bytes, summed while they are read. Read through calls that return errors, not
// from the mapped image: where the file's medium has gone away (a stick pulled, a share dropped),
// the system's error code comes back instead of a fault in the copy. 0 on success; a name under
// no known type is fatal.
DWORD ResourceReadSummed(StringVariable& dest, const char* name, uint32_t& crc);
// The named resource's bytes in the program's image, or a null text where there is none.
TextView ResourceBytes(const char* name);
// Keeps every page of the program's image in memory but those of the named resource (the carried
// document): its code, texts and other resources are then there when the medium it was started
// from has gone away, which the document, read from the file when it is saved, is not.
void KeepImageInMemoryBut(const char* name);
