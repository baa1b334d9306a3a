// Paths and the names of the files a save makes beside its target. Free of the run time's memory,
// so that the tests' driver can spell the names as the program does.
#pragma once
#include <cstdint>

// The names of the files a save makes beside the target: "~wk", four hex digits of the number,
// then kStagingSuffix for the staging file or kBackupSuffix for the old target's backup. Short, so
// that they fit wherever a target name at least as long fits, and of a shape the cleanup can
// tell for this program's own.
inline constexpr wchar_t kStagingSuffix[] = L".tmp";
inline constexpr wchar_t kBackupSuffix[] = L".bak";
inline constexpr int32_t kOwnFileNameLength = 11;
// Writes the name and its NUL: kOwnFileNameLength + 1 characters.
void PutOwnFileName(wchar_t* name, uint32_t number, const wchar_t* suffix);
// The same with '?' for each digit: a pattern that FindFirstFile matches them all with.
void PutOwnFilePattern(wchar_t* name, const wchar_t* suffix);
// Whether the name is of that shape with the suffix, whatever its number.
bool IsOwnFileName(const wchar_t* name, const wchar_t* suffix);

// Where the file name starts in a path: after its last '\\', '/' or a drive's ':'.
int32_t PathFolderLength(const wchar_t* path);
