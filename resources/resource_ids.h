// The names the code asks for its resources by; the resource script spells them in upper case,
// and resource names match without regard to case.
#pragma once

#define DOCUMENT_RESOURCE "th"
#define DOCUMENT_CHECKSUM_RESOURCE "thsum"
#define TITLE_BAR_BITMAP "titlebar"
#define CLOSE_GLYPH_BITMAP "xbut"
