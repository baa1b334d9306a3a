// The names of the program's resources, spelled once: the resource script takes each as a bare
// name (which it stores in upper case), the code as the string it asks for it by; resource names
// match without regard to case.
#pragma once

#ifdef RC_INVOKED
#define CARRIER_RESOURCE_NAME(name) name
#else
#define CARRIER_RESOURCE_NAME(name) #name
#endif

// The carried document, byte for byte; its size and CRC-32, 32 bits little-endian each.
#define DOCUMENT_RESOURCE CARRIER_RESOURCE_NAME(th)
#define DOCUMENT_CHECKSUM_RESOURCE CARRIER_RESOURCE_NAME(thsum)
#define TITLE_BAR_BITMAP CARRIER_RESOURCE_NAME(titlebar)
#define CLOSE_GLYPH_BITMAP CARRIER_RESOURCE_NAME(xbut)
#define APPLICATION_ICON CARRIER_RESOURCE_NAME(AppIco)
