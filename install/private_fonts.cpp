#include "install/private_fonts.h"

#include "foundation/log.h"
#include "foundation/module_resource.h"
#include "foundation/sz/sz_extract.h"
#include "foundation/ufile.h"

namespace {
const int kFontsResourceId = 131;
const wchar_t kFontsResourceType[] = L"ZIPRES";
}  // namespace

void PrivateFonts::start(const std::wstring& fontsFolder, const std::wstring& fontPath)
{
    fontsFolder_ = fontsFolder;
    fontPath_ = fontPath;
    Runable* task = new MemberFuncRunable<PrivateFonts>(this, &PrivateFonts::unpackAndAdd);
    if (!worker_.start(task)) {
        // No thread: the same work, on this one.
        task->release();
        unpackAndAdd();
    }
}

void PrivateFonts::unpackAndAdd()
{
    utility::ufile::makeDir(fontsFolder_);
    utility::ResourceBytes fonts;
    if (utility::findResource(nullptr, MAKEINTRESOURCEW(kFontsResourceId), kFontsResourceType, fonts) !=
        utility::kResourceFound) {
        common::log("PrivateFonts::unpackAndAdd", __LINE__, L"no fonts resource lastError = %d", GetLastError());
    } else if (fonts.size != 0) {
        SzResultCode result = SzExtractToDir(fonts.data, fonts.size, fontsFolder_, nullptr);
        if (result != kSzOk)
            common::log("PrivateFonts::unpackAndAdd", __LINE__, L"unpack fonts error %d", result);
    }

    if (fontPath_.empty())
        return;
    int added = AddFontResourceExW(fontPath_.c_str(), FR_PRIVATE, nullptr);
    common::log("PrivateFonts::unpackAndAdd", __LINE__, L"load Noto Sans fonts ret:%d  error:%d", added,
                GetLastError());
    if (added > 0)
        InterlockedExchange(&added_, 1);
}

void PrivateFonts::wait()
{
    // The unpacking is never cut short: a font file half written stays broken.
    worker_.join(INFINITE);
}

void PrivateFonts::finish()
{
    wait();
    if (InterlockedExchange(&added_, 0) != 0)
        RemoveFontResourceExW(fontPath_.c_str(), FR_PRIVATE, nullptr);
}
