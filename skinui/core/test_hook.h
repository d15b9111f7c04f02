// Test builds only (the build defines ZUL_TEST_HOOKS when it builds the tests;
// shipped programs carry none of this): a skinned window tells a test driver
// in another process where its control of a given name is.
//
// The question is WM_COPYDATA sent to the window: wParam = the driver's window
// that receives the answer; dwData = the value of the registered window
// message kQueryMessageName; lpData = a ControlQuery. The window answers, while
// the question is still being sent, with WM_COPYDATA to the driver's window:
// wParam = itself, the same dwData, lpData = a ControlAnswer; then it returns
// TRUE. tests/common/ui_driver.h is the driver's side.
#pragma once

#include <windows.h>

#include <cstdint>

namespace SkinUI {

class CUiManager;

namespace testhook {

const wchar_t kQueryMessageName[] = L"SkinUI.TestHook.ControlQuery";

struct ControlQuery {
    int32_t index;      // 0 for the first control of that name in tree order, 1 for the second ...
    wchar_t name[128];  // terminated
};

struct ControlAnswer {
    int32_t found;
    int32_t visible;  // the control and all its ancestors are shown
    int32_t enabled;
    RECT screen;        // the control's rectangle in screen coordinates
    wchar_t text[512];  // its text with "@key" replaced by the language text, cut to fit
};

#ifdef ZUL_TEST_HOOKS
// Answers the question when the message is one; true when it was.
bool AnswerControlQuery(CUiManager& manager, HWND window, UINT uMsg, WPARAM wParam, LPARAM lParam);
#endif

}  // namespace testhook
}  // namespace SkinUI
