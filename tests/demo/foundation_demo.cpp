// Shows the foundation at work: a worker thread scans the Windows folder and
// reports progress to the UI thread, which prints it and ends the loop when
// the final result arrives. Everything is logged to demo.log.
#include <windows.h>

#include <stdio.h>

#include <string>

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/worker_thread.h"

namespace {

class ScanJob {
public:
    explicit ScanJob(const std::wstring& folder) : folder_(folder) {}

    // Worker thread: counts the files and bytes of the folder, reporting every 50 files.
    void run()
    {
        common::log("ScanJob::run", __LINE__, L"scan [%s] on thread %d", folder_.c_str(), GetCurrentThreadId());
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &data);
        int files = 0;
        unsigned long long bytes = 0;
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    continue;
                ++files;
                bytes += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                if (files % 50 == 0) {
                    int soFar = files;
                    poster_.post(new FunctionRunable(
                        [soFar] { wprintf(L"[ui thread %lu] %d files so far\n", GetCurrentThreadId(), soFar); }));
                }
            } while (FindNextFileW(find, &data));
            FindClose(find);
        } else {
            common::log("ScanJob::run", __LINE__, L"find failed! lastError = %d", GetLastError());
        }
        poster_.post(new FunctionRunable([files, bytes] {
            common::log("ScanJob::onResult", __LINE__, L"files = %d, bytes = %I64u", files, bytes);
            wprintf(L"[ui thread %lu] done: %d files, %I64u bytes\n", GetCurrentThreadId(), files, bytes);
            PostQuitMessage(0);
        }));
    }

private:
    std::wstring folder_;
    UiTaskPoster poster_;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    utility::init();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring logDir = std::wstring(temp) + L"zul-demo";
    utility::ufile::makeDir(logDir);
    std::wstring logPath = logDir + L"\\demo.log";
    DeleteFileW(logPath.c_str());
    common::startLogging(logPath);
    common::log("wmain", __LINE__, L"demo started, ui thread %d", GetCurrentThreadId());

    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    ScanJob job(argc > 1 ? argv[1] : std::wstring(windows) + L"\\system32");
    utility::WorkerThread worker;
    worker.start(new MemberFuncRunable<ScanJob>(&job, &ScanJob::run));

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    worker.join(2000);
    common::log("wmain", __LINE__, L"demo finished");
    utility::uninit();

    wprintf(L"\nlog file %ls:\n", logPath.c_str());
    fflush(stdout);
    HANDLE file = CreateFileW(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            fwrite(buffer, 1, read, stdout);
        CloseHandle(file);
    }
    return 0;
}
