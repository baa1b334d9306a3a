// The save path after the dialog against two floors, in one process, into one folder:
//   program:   ResourceLoad of "th" into a fresh temporary, the durable replace, the block back
//   copy:      CopyFileA of the document file, then FlushFileBuffers of the copy
//   read+write: ReadFile of the document, one WriteFile, FlushFileBuffers
// and the process's memory around a save. Usage: save_bench DOCUMENT FOLDER [RUNS]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/process.h"
#include "core/resources.h"
#include "resource_ids.h"
#include "measure.h"

namespace {

void Flush(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FlushFileBuffers(file);
    CloseHandle(file);
}

// Where the program's time goes: the copy into a fresh block, then the durable write; and how
// large that block was.
double loadMs;
double writeMs;
SIZE_T blockBytes;

// The program's path checks the document's CRC-32 while it copies it; unchecked is the same path
// with a plain copy, for the cost of the check.
void ProgramSave(const std::string& target, bool checked = true) {
    double start = NowMs();
    StringVariable& document = NextTemporary();
    StrReset(document, kDefaultSizeHint);
    uint32_t crc = 0;
    if (checked)
        ResourceReadSummed(document, DOCUMENT_RESOURCE, crc);
    else
        ResourceLoad(document, DOCUMENT_RESOURCE);
    double loaded = NowMs();
    blockBytes = static_cast<SIZE_T>(document.capacity);
    std::wstring wideTarget(target.begin(), target.end());
    if (FileReplaceDurably(document, wideTarget.c_str()).error != 0)
        std::exit(3);
    StrReset(document, kDefaultSizeHint);
    loadMs = loaded - start;
    writeMs = NowMs() - loaded;
}

void CopySave(const std::string& source, const std::string& target) {
    CopyFileA(source.c_str(), target.c_str(), FALSE);
    Flush(target);
}

void ReadWriteSave(const std::string& source, const std::string& target) {
    HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
    DWORD size = GetFileSize(in, nullptr);
    std::vector<char> bytes(size);
    DWORD moved = 0;
    ReadFile(in, bytes.data(), size, &moved, nullptr);
    CloseHandle(in);
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteFile(out, bytes.data(), size, &moved, nullptr);
    FlushFileBuffers(out);
    CloseHandle(out);
}

template <typename Save> double MedianMs(int runs, Save save) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        double start = NowMs();
        save();
        times.push_back(NowMs() - start);
    }
    return Median(times);
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

double Mb(SIZE_T bytes) {
    return static_cast<double>(bytes) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: save_bench DOCUMENT FOLDER [RUNS]\n");
        return 2;
    }
    ModuleInstance = GetModuleHandleA(nullptr);
    std::string document = argv[1];
    std::string folder = argv[2];
    int runs = argc > 3 ? std::atoi(argv[3]) : 10;
    std::string target = folder + "\\saved.pdf";

    // The first save reads the mapped document from the file, page by page; later ones find it
    // in memory.
    PROCESS_MEMORY_COUNTERS before = Memory();
    double firstMs = MedianMs(1, [&] { ProgramSave(target); });
    PROCESS_MEMORY_COUNTERS after = Memory();

    // Interleaved rounds, so a noisy moment of the machine hits all four alike.
    std::vector<double> program, unchecked, copy, readWrite, loads, writes;
    for (int run = 0; run < runs; ++run) {
        program.push_back(MedianMs(1, [&] { ProgramSave(target); }));
        loads.push_back(loadMs);
        writes.push_back(writeMs);
        unchecked.push_back(MedianMs(1, [&] { ProgramSave(target, false); }));
        copy.push_back(MedianMs(1, [&] { CopySave(document, target); }));
        readWrite.push_back(MedianMs(1, [&] { ReadWriteSave(document, target); }));
    }
    double programMs = Median(program), copyMs = Median(copy), readWriteMs = Median(readWrite);
    std::printf("save.first_program_ms %.1f\n", firstMs);
    std::printf("save.program_ms %.1f\n", programMs);
    std::printf("save.program_load_ms %.1f\n", Median(loads));
    std::printf("save.program_write_ms %.1f\n", Median(writes));
    std::printf("save.unchecked_ms %.1f\n", Median(unchecked));
    std::printf("save.ratio_check %.2f\n", programMs / Median(unchecked));
    std::printf("save.copy_floor_ms %.1f\n", copyMs);
    std::printf("save.read_write_ms %.1f\n", readWriteMs);
    std::printf("save.ratio_to_copy %.2f\n", programMs / copyMs);
    std::printf("save.ratio_to_read_write %.2f\n", programMs / readWriteMs);
    std::printf("memory.private_before_mb %.1f\n", Mb(before.PagefileUsage));
    std::printf("memory.peak_private_mb %.1f\n", Mb(after.PeakPagefileUsage));
    std::printf("memory.peak_working_set_mb %.1f\n", Mb(after.PeakWorkingSetSize));
    std::printf("memory.private_after_mb %.1f\n", Mb(after.PagefileUsage));
    std::printf("memory.document_block_mb %.1f\n", Mb(blockBytes));
    return 0;
}
