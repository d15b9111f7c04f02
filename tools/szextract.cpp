// szextract: extracts a 7z archive file into a folder through the project's
// extraction layer and prints the result code. Used by the benchmark and for
// manual checks.
//
//   szextract.exe ARCHIVE TARGET_DIR [--peak] [--progress] [--threads=N] [--budget-mb=N]
//
// Prints "result=<code>"; with --peak also "peak_working_set=<bytes>".
// --threads and --budget-mb replace the default threads (every processor)
// and memory budget of the decoder.
// Exit code: 0 on success, 1 on a failed extraction, 2 on bad usage.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "foundation/log.h"
#include "foundation/system_dll.h"
#include "foundation/sz/sz_extract.h"

namespace {

void printLogLine(const char* function, int line, const wchar_t* message)
{
    fprintf(stderr, "%s(%d): %ls\n", function, line, message);
}

class ConsoleProgress : public SzExtractCallback {
public:
    explicit ConsoleProgress(bool verbose) : verbose_(verbose) {}

    bool shouldContinue() override { return true; }

    void onProcessing(const wchar_t* itemName, uint64_t itemIndex, uint64_t itemCount, uint64_t bytesDone,
                      uint64_t bytesTotal) override
    {
        if (verbose_ && itemIndex != lastIndex_) {
            lastIndex_ = itemIndex;
            fprintf(stderr, "[%llu/%llu] %llu/%llu %ls\n", static_cast<unsigned long long>(itemIndex + 1),
                    static_cast<unsigned long long>(itemCount), static_cast<unsigned long long>(bytesDone),
                    static_cast<unsigned long long>(bytesTotal), itemName);
        }
    }

    void onResult(int32_t code, const wchar_t* itemName) override
    {
        if (code != kSzOk) {
            fprintf(stderr, "failed at: %ls\n", itemName);
        }
    }

private:
    bool verbose_;
    uint64_t lastIndex_ = ~0ull;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: szextract ARCHIVE TARGET_DIR [--peak] [--progress] [--threads=N] [--budget-mb=N]\n");
        return 2;
    }
    bool peak = false;
    bool progress = false;
    SzThreading threading = SzDefaultThreading();
    for (int i = 3; i < argc; i++) {
        unsigned value = 0;
        if (wcscmp(argv[i], L"--peak") == 0) {
            peak = true;
        } else if (wcscmp(argv[i], L"--progress") == 0) {
            progress = true;
        } else if (swscanf(argv[i], L"--threads=%u", &value) == 1 && value > 0) {
            threading.threads = value;
        } else if (swscanf(argv[i], L"--budget-mb=%u", &value) == 1) {
            threading.memoryBudget = static_cast<uint64_t>(value) << 20;
        } else {
            fprintf(stderr, "unknown option: %ls\n", argv[i]);
            return 2;
        }
    }
    common::setLogSink(printLogLine);
    utility::restrictDllSearch();

    ConsoleProgress callback(progress);
    SzResultCode code = SzExtractFileToDir(argv[1], argv[2], &callback, threading);
    printf("result=%d\n", code);
    if (peak) {
        PROCESS_MEMORY_COUNTERS counters;
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) {
            printf("peak_working_set=%llu\n", static_cast<unsigned long long>(counters.PeakWorkingSetSize));
        }
    }
    fflush(stdout);
    return code == kSzOk ? 0 : 1;
}
