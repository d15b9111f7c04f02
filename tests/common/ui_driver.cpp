#include "ui_driver.h"

#include <gdiplus.h>

#include <vector>

#include "skinui/core/test_hook.h"

namespace uidriver {

namespace {

using SkinUI::testhook::ControlAnswer;
using SkinUI::testhook::ControlQuery;

UINT QueryId()
{
    static const UINT id = ::RegisterWindowMessageW(SkinUI::testhook::kQueryMessageName);
    return id;
}

// The window that receives the answer: a message-only window of this thread.
LRESULT CALLBACK AnswerWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COPYDATA) {
        const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        auto* answer = reinterpret_cast<ControlAnswer*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (answer != nullptr && data->dwData == QueryId() && data->cbData == sizeof(ControlAnswer)) {
            *answer = *static_cast<const ControlAnswer*>(data->lpData);
            answer->text[511] = 0;
            return TRUE;
        }
        return FALSE;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeAnswerWindow(ControlAnswer* answer)
{
    static const wchar_t kClass[] = L"ZulUiDriverAnswer";
    WNDCLASSW wc = {};
    wc.lpfnWndProc = AnswerWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);  // fails harmlessly once registered
    HWND hwnd = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (hwnd != nullptr) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(answer));
    }
    return hwnd;
}

struct FindData {
    const wchar_t* className;
    DWORD processId;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam)
{
    FindData* data = reinterpret_cast<FindData*>(lParam);
    wchar_t name[256] = L"";
    ::GetClassNameW(hwnd, name, 256);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (wcscmp(name, data->className) == 0 && (data->processId == 0 || pid == data->processId) &&
        (!data->visibleOnly || ::IsWindowVisible(hwnd))) {
        data->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A mouse event that names its own screen point. Under Wine a program applies
// the X server's pointer motion when it gets round to it, so a motion left
// from an earlier move can put the pointer back for a moment: a press sent
// "where the pointer is" would then land on the control clicked before.
INPUT MouseAt(POINT screen, DWORD buttons)
{
    const LONG width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Normalised coordinates (0..65535 across the screen) that map back to this very pixel.
    input.mi.dx = (screen.x * 65536 + width - 1) / width;
    input.mi.dy = (screen.y * 65536 + height - 1) / height;
    input.mi.dwFlags = buttons | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

// True when a window of the window's own program is the foreground window.
// Mouse input goes to the window under the pointer, unless the program that
// has the foreground holds the mouse capture; and a menu or a drop-down list
// closes when its program loses the foreground.
bool OwnsForeground(HWND window)
{
    DWORD foreground = 0, owner = 0;
    ::GetWindowThreadProcessId(::GetForegroundWindow(), &foreground);
    ::GetWindowThreadProcessId(window, &owner);
    return owner != 0 && foreground == owner;
}

void SendKey(WORD virtualKey, WORD scan, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    ::SendInput(1, &input, sizeof(INPUT));
}

bool PngEncoder(CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

Program::Program(const std::wstring& exe, const std::wstring& arguments)
{
    std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (::CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ::CloseHandle(pi.hThread);
        m_process = pi.hProcess;
        m_pid = pi.dwProcessId;
    }
}

Program::~Program()
{
    if (m_process == nullptr)
        return;
    if (::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process, 1);
        ::WaitForSingleObject(m_process, 5000);
    }
    ::CloseHandle(m_process);
}

bool Program::waitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (m_process == nullptr || ::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode != nullptr)
        ::GetExitCodeProcess(m_process, exitCode);
    return true;
}

HWND findWindow(const wchar_t* className, DWORD processId, bool visibleOnly)
{
    FindData data = {className, processId, visibleOnly, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

HWND waitForWindow(const wchar_t* className, DWORD processId, DWORD timeoutMs, bool visibleOnly)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        HWND hwnd = findWindow(className, processId, visibleOnly);
        if (hwnd != nullptr || ::GetTickCount() - start >= timeoutMs)
            return hwnd;
        ::Sleep(50);
    }
}

ControlInfo queryControl(HWND window, const std::wstring& name, int index)
{
    ControlInfo info;
    ControlAnswer answer = {};
    ControlQuery query = {};
    query.index = index;
    wcsncpy(query.name, name.c_str(), 127);
    HWND answerWindow = MakeAnswerWindow(&answer);
    if (answerWindow == nullptr)
        return info;
    COPYDATASTRUCT question = {QueryId(), sizeof(query), &query};
    DWORD_PTR result = 0;
    // A window busy for seconds (painting or waiting for a worker, under
    // emulated 32-bit Wine on a loaded machine) answers late: not answered
    // is no answer about the control, so the question waits for it.
    LRESULT sent = ::SendMessageTimeoutW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(answerWindow),
                                         reinterpret_cast<LPARAM>(&question), SMTO_NORMAL, 30000, &result);
    ::DestroyWindow(answerWindow);
    if (sent == 0 || result != TRUE || answer.found == 0)
        return info;
    info.found = true;
    info.visible = answer.visible != 0;
    info.enabled = answer.enabled != 0;
    info.screen = answer.screen;
    info.text = answer.text;
    return info;
}

ControlInfo waitForControl(HWND window, const std::wstring& name, const std::function<bool(const ControlInfo&)>& done,
                           DWORD timeoutMs, int index)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        ControlInfo info = queryControl(window, name, index);
        if (done(info) || ::GetTickCount() - start >= timeoutMs)
            return info;
        ::Sleep(50);
    }
}

bool waitForPainted(HWND window, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        RECT pending = {};
        if (::IsWindow(window) && !::GetUpdateRect(window, &pending, FALSE))
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(50);
    }
}

void bringToFront(HWND window)
{
    HWND after = (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_TOP;
    ::SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(window);
}

void clickAt(POINT screen, int clicks)
{
    INPUT hover = MouseAt(screen, 0);
    ::SendInput(1, &hover, sizeof(INPUT));  // a real move at the new place: hover first, as a hand does
    ::Sleep(30);
    std::vector<INPUT> presses;
    for (int i = 0; i < clicks; ++i) {
        presses.push_back(MouseAt(screen, MOUSEEVENTF_LEFTDOWN));
        presses.push_back(MouseAt(screen, MOUSEEVENTF_LEFTUP));
    }
    ::SendInput(static_cast<UINT>(presses.size()), presses.data(), sizeof(INPUT));
}

bool clickControl(HWND window, const std::wstring& name, int index, int clicks)
{
    // The click waits for what it needs: the control laid out (a window can
    // answer before its first layout, with an empty rectangle at its corner,
    // where another control lies), its program in the foreground and no other
    // window over its middle.
    const DWORD start = ::GetTickCount();
    do {
        const ControlInfo info = queryControl(window, name, index);
        if (!info.found || !info.visible)
            return false;
        const POINT target = info.center();
        if (info.laidOut() && OwnsForeground(window) && ::GetAncestor(::WindowFromPoint(target), GA_ROOT) == window) {
            clickAt(target, clicks);
            return true;
        }
        bringToFront(window);
        ::Sleep(50);
    } while (::GetTickCount() - start < 10000);
    return false;
}

bool movePointer(POINT screen, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    DWORD stillSince = start;
    ::SetCursorPos(screen.x, screen.y);
    for (;;) {
        POINT now = {};
        ::GetCursorPos(&now);
        if (now.x != screen.x || now.y != screen.y) {
            ::SetCursorPos(screen.x, screen.y);
            stillSince = ::GetTickCount();
        } else if (::GetTickCount() - stillSince >= 500) {
            return true;
        }
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(20);
    }
}

void typeText(const std::wstring& text)
{
    for (wchar_t c : text) {
        SendKey(0, c, KEYEVENTF_UNICODE);
        SendKey(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
}

void pressKey(WORD virtualKey)
{
    SendKey(virtualKey, 0, 0);
    SendKey(virtualKey, 0, KEYEVENTF_KEYUP);
}

std::wstring artifactsDir()
{
    // The test environment names each target's own folder (build/artifacts/i686 ...).
    wchar_t named[MAX_PATH] = L"";
    const DWORD length = ::GetEnvironmentVariableW(L"ZUL_ARTIFACTS_DIR", named, MAX_PATH);
    const std::wstring folder = length > 0 && length < MAX_PATH ? named : L"" ZUL_ARTIFACTS_DIR;
    std::wstring dir = L"Z:" + folder + L"\\";
    for (wchar_t& c : dir) {
        if (c == L'/')
            c = L'\\';
    }
    for (size_t at = dir.find(L'\\', 3); at != std::wstring::npos; at = dir.find(L'\\', at + 1)) {
        ::CreateDirectoryW(dir.substr(0, at).c_str(), nullptr);
    }
    return dir;
}

std::wstring screenshot(HWND window, const std::wstring& name)
{
    RECT rc = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (window != nullptr && !::GetWindowRect(window, &rc))
        return L"";
    int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return L"";

    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY | CAPTUREBLT);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    // A name with a folder in front ("zh_TW\\installer_start_page") goes into that folder.
    const size_t folder = name.rfind(L'\\');
    if (folder != std::wstring::npos)
        ::CreateDirectoryW((artifactsDir() + name.substr(0, folder)).c_str(), nullptr);
    std::wstring path = artifactsDir() + name + L".png";
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    bool saved = false;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        CLSID png;
        if (PngEncoder(&png)) {
            Gdiplus::Bitmap image(bitmap, nullptr);
            saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
        }
        Gdiplus::GdiplusShutdown(token);
    }
    ::DeleteObject(bitmap);
    return saved ? path : L"";
}

}  // namespace uidriver
