#include "support/scratch_folder.h"

#include <windows.h>

#include <algorithm>

#include "support/test_paths.h"

ScratchFolder::ScratchFolder(const std::string& name)
    : path(std::string(CARRIER_TEST_OUTPUT_WINDOWS_PATH) + "\\" + name +
           std::to_string(GetCurrentProcessId())) {
    CreateDirectoryA(CARRIER_TEST_OUTPUT_WINDOWS_PATH, nullptr);
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path);
}

std::vector<std::string> ScratchFolder::FileNames() const {
    return ScratchFolderNames(path);
}

std::vector<std::string> ScratchFolderNames(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}
