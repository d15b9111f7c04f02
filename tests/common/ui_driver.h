// The UI driver: program tests drive a real program window as its user does.
//
// A test starts the program (uidriver::Program), waits for its top-level
// window by window class and process id (waitForWindow), asks the window where
// a named control of its skin is (queryControl: rectangle in screen
// coordinates, shown, enabled, text), clicks or types there with real input
// (clickControl, clickAt, typeText, pressKey: SetCursorPos and SendInput, so
// the input takes the same road as a user's), and keeps screenshots of what a
// user sees as PNG files in build/artifacts/ (screenshot).
//
//   uidriver::Program installer(exeDir() + L"zulinst.exe", L"");
//   HWND window = uidriver::waitForWindow(L"KXZulMainFrame", installer.pid(), 10000);
//   ASSERT_TRUE(uidriver::clickControl(window, L"protocolOption"));
//   EXPECT_FALSE(uidriver::waitForControl(window, L"startBtn", [](auto& c) { return !c.enabled; }, 3000).enabled);
//   uidriver::screenshot(window, L"installer_start_page");
//
// The control question is answered by SkinUI::WindowImplBase only in test
// builds (skinui/core/test_hook.h); a shipped program does not answer it.
// Tests that use real input move the one mouse pointer of the display, and
// tests that activate windows take its one foreground window (a menu or a
// drop-down list of the program under test closes when it loses it): both
// take the CTest lock zul_mouse_pointer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace uidriver {

// A started program; terminated on destruction when it still runs.
class Program {
public:
    // Starts exe with the command line arguments (the program's own path is put in front).
    Program(const std::wstring& exe, const std::wstring& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return m_process != nullptr; }
    DWORD pid() const { return m_pid; }
    // Waits for the program to end; true with its exit code when it did in time.
    bool waitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
};

// The first top-level window of the class owned by the process (0: any), or null.
HWND findWindow(const wchar_t* className, DWORD processId, bool visibleOnly = true);
// findWindow, retried until it answers or the time is up.
HWND waitForWindow(const wchar_t* className, DWORD processId, DWORD timeoutMs, bool visibleOnly = true);

struct ControlInfo {
    bool found = false;
    bool visible = false;  // the control and its ancestors are shown
    bool enabled = false;
    RECT screen = {};   // screen coordinates
    std::wstring text;  // language keys already replaced
    POINT center() const { return {(screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2}; }
    // Shown and given its place: a window answers before it lays out what
    // changed (on its next paint), with an empty rectangle for a control it
    // has just shown. Where and how large a control is can be read once it is.
    bool laidOut() const { return visible && screen.right > screen.left && screen.bottom > screen.top; }
};

// Asks the window for its index-th control of that name (tree order), waiting
// up to 30 s for a busy window; not found when the window does not answer (a
// shipped build) or has no such control.
ControlInfo queryControl(HWND window, const std::wstring& name, int index = 0);
// Asks again until done(info) holds or the time is up; returns the last answer.
ControlInfo waitForControl(HWND window, const std::wstring& name, const std::function<bool(const ControlInfo&)>& done,
                           DWORD timeoutMs, int index = 0);

// Waits until the window has painted what it was asked to (its update region
// is empty); a skin window lays itself out when it paints, so a window that
// answers no control question (a combo's drop-down list) can be clicked then.
bool waitForPainted(HWND window, DWORD timeoutMs);

// Raises the window above the others and makes it the foreground window.
void bringToFront(HWND window);
// Moves the real pointer to the screen point and clicks the left button there
// (twice for a double click).
void clickAt(POINT screen, int clicks = 1);
// Clicks the middle of a shown control once it is laid out, its program has
// the foreground and no other window covers that point (it brings the window
// to the front while it waits); false when the control is missing or hidden,
// or when that does not come about within 10 s.
bool clickControl(HWND window, const std::wstring& name, int index = 0, int clicks = 1);
// Puts the pointer at the screen point for a program that reads it (a tray
// icon's menu opens there) and waits until it stays there: under Wine a
// program still handling the motion of an earlier move can put it back for a
// moment. False when it does not stay within the time.
bool movePointer(POINT screen, DWORD timeoutMs = 10000);
// Types the text into the focused window as Unicode key strokes.
void typeText(const std::wstring& text);
// Presses and releases one virtual key (VK_RETURN, VK_ESCAPE ...).
void pressKey(WORD virtualKey);

// The artifacts folder, made when missing: $ZUL_ARTIFACTS_DIR (set per target by
// scripts/env.sh), else build/artifacts of the source tree.
std::wstring artifactsDir();
// Saves what the screen shows of the window (the whole screen for null) as
// build/artifacts/<name>.png; returns the file's path, empty on failure.
std::wstring screenshot(HWND window, const std::wstring& name);

}  // namespace uidriver
