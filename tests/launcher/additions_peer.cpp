// Second process for the cross-process tests. Arguments:
//   mutex NAME                 exit 0 when NAME is already held, 1 when this
//                              process got it (exclusive single-instance mutex)
//   post CLASS MSG WPARAM LPARAM
//                              open the channel window by class and post;
//                              exit 0 posted, 1 not found, 2 post failed
#include <windows.h>

#include <stdlib.h>
#include <string>

#include "foundation/system_dll.h"
#include "launcher/services/system_ex.h"
#include "launcher/services/window_ipc.h"

int wmain(int argc, wchar_t** argv)
{
    utility::restrictDllSearch();
    if (argc < 2)
        return 100;
    const std::wstring mode = argv[1];
    if (mode == L"mutex" && argc >= 3) {
        HANDLE mutex = utility::usystem::createSingleInstanceMutex(argv[2], true, true);
        if (!mutex)
            return 0;
        CloseHandle(mutex);
        return 1;
    }
    if (mode == L"post" && argc >= 6) {
        utility::WindowIPC channel;
        if (!channel.openByClass(argv[2]))
            return 1;
        const UINT message = static_cast<UINT>(wcstoul(argv[3], nullptr, 10));
        const WPARAM wParam = static_cast<WPARAM>(_wcstoui64(argv[4], nullptr, 10));
        const LPARAM lParam = static_cast<LPARAM>(_wcstoi64(argv[5], nullptr, 10));
        return channel.postMessage(message, wParam, lParam) ? 0 : 2;
    }
    return 100;
}
