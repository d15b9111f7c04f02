// The startup benchmark's probe: starts a program, finds its window by class,
// and watches the screen under it until the picture has stayed the same for
// a while. The first moment the window showed that final picture is its
// first complete paint. Then it closes the window and waits for the end.
//   bench_startup_probe.exe <window class> <program> [arguments]
// Prints "first_paint_ms=<ms>" (from just before CreateProcess), or fails.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const DWORD kSettledMs = 1500;  // unchanged this long: the final picture
const DWORD kTimeoutMs = 60000;

double nowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

struct FindData {
    const wchar_t* className;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findProc(HWND hwnd, LPARAM lParam)
{
    FindData* data = reinterpret_cast<FindData*>(lParam);
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == data->processId && wcscmp(name, data->className) == 0 && IsWindowVisible(hwnd)) {
        data->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A hash of what the screen shows of the window; 0 when it cannot be read.
unsigned long long pictureHash(HWND window, std::vector<DWORD>& pixels)
{
    RECT rc;
    if (!GetWindowRect(window, &rc))
        return 0;
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    unsigned long long hash = 0;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
        GdiFlush();
        pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
        hash = 1469598103934665603ull;
        for (DWORD pixel : pixels)
            hash = (hash ^ (pixel & 0xFFFFFF)) * 1099511628211ull;
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return hash;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startup_probe <window class> <program> [arguments]\n");
        return 2;
    }
    std::wstring command = L"\"" + std::wstring(argv[2]) + L"\"";
    for (int i = 3; i < argc; ++i)
        command += L" " + std::wstring(argv[i]);
    SetCursorPos(0, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const double start = nowMs();
    if (!CreateProcessW(argv[2], &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start the program: %lu\n", GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);

    FindData find = {argv[1], process.dwProcessId, nullptr};
    std::vector<DWORD> pixels;
    double changedAt = 0;
    unsigned long long last = 0;
    bool settled = false;
    while (nowMs() - start < kTimeoutMs) {
        if (find.found == nullptr)
            EnumWindows(findProc, reinterpret_cast<LPARAM>(&find));
        if (find.found != nullptr) {
            const double at = nowMs();
            const unsigned long long hash = pictureHash(find.found, pixels);
            if (hash != last) {
                last = hash;
                changedAt = at;
            } else if (at - changedAt >= kSettledMs) {
                settled = true;
                break;
            }
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }

    if (find.found != nullptr)
        PostMessageW(find.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    if (!settled) {
        std::fprintf(stderr, "no settled window of class %ls\n", argv[1]);
        return 1;
    }
    std::printf("first_paint_ms=%.1f\n", changedAt - start);
    return 0;
}
