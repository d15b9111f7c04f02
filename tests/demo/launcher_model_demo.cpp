// Shows the launcher's model at work against the local stand-in server: it
// reads its language and game folder, fetches the remote configuration from
// http://127.0.0.1:<ZUL_HTTP_TEST_PORT>/f, downloads the two background
// pictures and reports both notifications on the UI thread.
#include <winsock2.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "foundation/log.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/ustring.h"
#include "launcher/services/config_data.h"
#include "launcher/services/zul_model.h"

namespace {

void print(const std::wstring& text) { printf("%s\n", utility::ustring::toUtf8(text).c_str()); }

void printSink(const char* function, int line, const wchar_t* message)
{
    printf("  log %s(%d): %s\n", function, line, utility::ustring::toUtf8(message).c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const char* port = getenv("ZUL_HTTP_TEST_PORT");
    if (!port) {
        printf("ZUL_HTTP_TEST_PORT is not set\n");
        return 2;
    }
    utility::init();
    common::setLogSink(&printSink);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring appDir = std::wstring(temp) + L"zul-launcher-demo\\";
    CreateDirectoryW(appDir.c_str(), nullptr);
    KXZulSetupImpl store(appDir + L"config.data");

    bool loaded = false, backgrounds = false;
    {
        KXZulModel model;
        model.setAppDir(appDir);
        model.setConfigHost(std::string("http://127.0.0.1:") + port + "/f");
        model.setRegistryKeys(L"Software\\Norvale\\ZULDemo", L"Software\\Norvale\\ZULDemo\\Run");
        model.setSetupStore(&store);
        model.setOnConfigLoaded([&] {
            loaded = true;
            printf("[ui thread %lu] configuration loaded\n", GetCurrentThreadId());
        });
        model.setOnBackgroundChanged([&] {
            backgrounds = true;
            printf("[ui thread %lu] background pictures replaced\n", GetCurrentThreadId());
        });
        model.init();

        DWORD start = GetTickCount();
        MSG msg;
        while (!(loaded && backgrounds) && GetTickCount() - start < 15000) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        model.stop();

        print(L"language = " + model.getLanguage() + L" / " + model.getLanguageLong());
        print(L"game folder = " + model.getPathDir());
        printf("appminversion = %d, playerminversion = %d\n", model.getAppMinVersion(), model.getPlayerMinVersion());
        print(L"apkurl = " + model.getApkUrl());
        print(L"playerurl = " + model.getPlayerUrl());
        print(L"launch background = " + model.launchBackgroundPath());
        print(L"player background = " + model.playerBackgroundPath());
    }
    HANDLE file = CreateFileW((appDir + L"config.data").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char line[256] = {0};
        DWORD read = 0;
        ReadFile(file, line, sizeof(line) - 1, &read, nullptr);
        CloseHandle(file);
        printf("config.data = %s\n", line);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Norvale\\ZULDemo");
    common::setLogSink(nullptr);
    utility::uninit();
    return loaded && backgrounds ? 0 : 1;
}
