// String lists: a string variable whose text is items, each followed by CR LF, numbered from 0.
#pragma once
#include <cstdint>

#include "strings.h"

TextView ListAdd(StringVariable& list, const char* item, int32_t count);
// Index of the item equal to the given bytes, or -1; part of an item is not a match.
int32_t ListFind(const StringVariable& list, const char* item, int32_t count);
// Removes item n; the new length (the old one when there is no item n).
int32_t ListDelete(StringVariable& list, int32_t n, int32_t len);
// Inserts the item before item n; an n past the last item appends.
void ListInsert(StringVariable& list, const char* item, int32_t count, int32_t len, int32_t n);
void ListSwap(StringVariable& list, int32_t a, int32_t b);
// Items first to last joined with the separator, in the join variable.
TextView ListJoin(const char* sep, int32_t slen, int32_t last, int32_t first, const char* text,
                  int32_t tlen);
