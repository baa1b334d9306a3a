// A fresh folder under the build tree's test output, emptied and removed with the test. Paths and
// names are UTF-8.
#pragma once

#include <string>
#include <vector>

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
