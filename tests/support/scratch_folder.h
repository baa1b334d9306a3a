// A fresh folder under the build tree's test output, emptied and removed with the test. Paths and
// names are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/paths.h"

struct ScratchFolder {
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(const std::string& fileName) const { return path + "\\" + fileName; }
    std::vector<std::string> FileNames() const;

    std::string path;
};

// The sorted names in a folder, "." and ".." left out.
std::vector<std::string> ScratchFolderNames(const std::string& path);
// Removes a folder and everything in it.
void RemoveTree(const std::string& path);

// A whole file's bytes ("" where there is no file), and a file made of the bytes.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
// The name of a save's own file beside the target: number and suffix as the program spells them.
std::string OwnFileName(uint32_t number, const wchar_t* suffix);
// Whether the name is one of them, of any number.
bool IsOwnFileName(const std::string& name, const wchar_t* suffix);
