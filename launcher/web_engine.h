// The web engine behind the main window's two news views: node.dll in the
// launcher's folder, driven through its flat "wke" interface. Only the
// functions the launcher calls are looked up; when the library or any of
// them is missing the launcher runs without the views.
//
// Threads: UI thread only.
#pragma once

#include <windows.h>

#include <string>

namespace wke {

typedef void* WebView;
typedef void* JsExecState;
typedef long long JsValue;

// The engine's window-create record (36 bytes on 32-bit Windows).
struct WindowCreateInfo {
    int size;
    HWND parent;
    DWORD style;
    DWORD styleEx;
    int x;
    int y;
    int width;
    int height;
    COLORREF color;
};
static_assert(sizeof(void*) != 4 || sizeof(WindowCreateInfo) == 36, "the engine expects 36 bytes");

// The pages' user agent.
extern const char kUserAgent[];
// The views' background colour.
const COLORREF kBackground = 0x00BBD5F4;

// Loads <appDir>node.dll, resolves the functions used and initialises the
// engine. Returns 1 when the views can be made, 0 otherwise (logged).
int loadWkeLibrary(const std::wstring& appDir);
bool ready();

// A view in parent at the client rectangle, with the launcher's handlers,
// "PCOpenUrl" bound and the address loading; null when none was made.
WebView createView(HWND parent, int x, int y, int width, int height, const std::wstring& address);
void moveView(WebView view, int x, int y, int width, int height);

// The pages' "PCOpenUrl": opens an http or https address in the user's
// browser; anything else is refused with a log line.
bool openPageAddress(const std::wstring& address);

}  // namespace wke
