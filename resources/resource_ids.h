// Resource names shared by the resource script and the code; the code asks in lower case,
// resource names match without regard to case.
#pragma once

#define DOCUMENT_RESOURCE "th"
#define TITLE_BAR_BITMAP "titlebar"
#define CLOSE_GLYPH_BITMAP "xbut"
#define APPLICATION_ICON "AppIco"
