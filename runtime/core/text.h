// Searching and cutting byte texts; positions are 1-based, as the callers count them.
#pragma once
#include <cstdint>

#include "strings.h"

// First occurrence of the pattern at or after `start`, or 0.
int32_t TextFind(const char* pattern, int32_t plen, const char* text, int32_t tlen, int32_t start);
// Non-overlapping occurrences.
int32_t TextCount(const char* pattern, int32_t plen, const char* text, int32_t tlen);
// The n-th field (from 1) of the text split at the separator, in a temporary.
TextView TextField(int32_t n, const char* sep, int32_t slen, const char* text, int32_t tlen);
// The text with src inserted before position pos, in a temporary.
TextView TextInsert(int32_t pos, const char* src, int32_t slen, const char* text, int32_t tlen);
