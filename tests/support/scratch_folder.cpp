#include "support/scratch_folder.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/paths.h"

#include "support/driver.h"
#include "support/test_paths.h"

ScratchFolder::ScratchFolder(const std::string& name)
    : path(std::string(CARRIER_TEST_OUTPUT_WINDOWS_PATH) + "\\" + name +
           std::to_string(GetCurrentProcessId())) {
    CreateDirectoryA(CARRIER_TEST_OUTPUT_WINDOWS_PATH, nullptr);
    RemoveTree(path);
    CreateDirectoryW(Utf16(path).c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path);
}

std::vector<std::string> ScratchFolder::FileNames() const {
    return ScratchFolderNames(path);
}

// Calls visit with each entry's UTF-8 name and attributes, "." and ".." left out.
template <typename Visit> static void ForEachEntry(const std::string& path, Visit visit) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Utf16(path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = Utf8(found.cFileName);
        if (name != "." && name != "..")
            visit(name, found.dwFileAttributes);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::vector<std::string> ScratchFolderNames(const std::string& path) {
    std::vector<std::string> names;
    ForEachEntry(path, [&](const std::string& name, DWORD) { names.push_back(name); });
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path) {
    ForEachEntry(path, [&](const std::string& name, DWORD attributes) {
        std::string child = path + "\\" + name;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(child);
        else
            DeleteFileW(Utf16(child).c_str());
    });
    RemoveDirectoryW(Utf16(path).c_str());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(std::filesystem::path(Utf16(path)), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(Utf16(path)), std::ios::binary | std::ios::trunc) << bytes;
}

std::string OwnFileName(uint32_t number, const wchar_t* suffix) {
    wchar_t name[kOwnFileNameLength + 1];
    PutOwnFileName(name, number, suffix);
    return Utf8(name);
}

bool IsOwnFileName(const std::string& name, const wchar_t* suffix) {
    return IsOwnFileName(Utf16(name).c_str(), suffix);
}
