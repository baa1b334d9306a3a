// The program's main job, scripted for a machine without a display of its own:
// starts the carrier, saves a screenshot of the screen, saves the document through "OK" into
// the given folder, then closes the program with "Abbrechen / Schliessen".
// Usage: demo_run SCREENSHOT.bmp FOLDER; exit code: the carrier's, or 100 + step on a failure.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/driver.h"
#include "support/running_carrier.h"

namespace {

bool SaveScreen(const char* path) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER header = {sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DWORD imageBytes = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    constexpr DWORD kHeaders = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file = {0x4D42, kHeaders + imageBytes, 0, 0, kHeaders};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(static_cast<const char*>(bits), imageBytes);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out.good();
}

DWORD FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: demo_run SCREENSHOT.bmp FOLDER\n");
        return 2;
    }
    std::string folder = argv[2];
    RunningCarrier carrier(folder);
    if (carrier.main == nullptr)
        return 102;
    Sleep(500);
    if (!SaveScreen(argv[1]))
        return 103;

    HWND dialog = carrier.OpenSaveDialog();
    if (dialog == nullptr)
        return 104;
    // The proposed name in the folder the dialog opens in: the current directory.
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    std::string saved = folder + "\\Wendelkamm_28.pdf";
    if (!WaitUntil([&] { return !IsWindow(dialog) && FileSize(saved) > 0; }, kTimeoutMs))
        return 105;
    std::printf("saved %lu bytes\n", FileSize(saved));

    PostMessageA(carrier.Control(kQuitButton), BM_CLICK, 0, 0);
    return static_cast<int>(carrier.program.WaitForExit(kTimeoutMs));
}
