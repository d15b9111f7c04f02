// Filling the installer's model at start-up: the region from the UI
// language, the tokens of the program's own file name and the command line.
#include "install/kxspace_model.h"

#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"

namespace {

const wchar_t kDataFolderName[] = L"zulplay";
const wchar_t kFontsFolderName[] = L"fonts";

// The file name of the running program, with its extension.
std::wstring ownFileName()
{
    wchar_t path[MAX_PATH + 1] = {0};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        common::log("KXSpaceModel::init", __LINE__, L"GetModuleFileName failed lastError = %d", GetLastError());
        return std::wstring();
    }
    std::wstring name(path, length);
    size_t slash = name.find_last_of(L"\\/");
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

// Token 2 of the file name counts only when it is a number.
bool isOpenToken(const std::wstring& token) { return !token.empty() && utility::ustring::isDigits(token); }

// The text without the double quotes that wrap it, and without the blanks
// around it. In cmd.exe and PowerShell "|" is a pipe, so a person passes the
// command line in quotes, and the shell hands the quotes on.
std::wstring unquoted(std::wstring text)
{
    utility::ustring::trim(text);
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') {
        text = text.substr(1, text.size() - 2);
        utility::ustring::trim(text);
    }
    return text;
}

}  // namespace

KXSpaceModel& KXSpaceModel::instance()
{
    static KXSpaceModel model;
    return model;
}

std::wstring KXSpaceModel::regionFromUiLanguage(LANGID language)
{
    switch (PRIMARYLANGID(language)) {
    case LANG_CHINESE:  // traditional and simplified alike
        return L"cn";
    case LANG_ENGLISH:
        return L"en";
    case LANG_VIETNAMESE:
        return L"vn";
    case LANG_THAI:
        return L"th";
    case LANG_INDONESIAN:
        return L"id";
    default:
        return L"en";
    }
}

std::wstring KXSpaceModel::defaultRegionFromUiLanguage() { return regionFromUiLanguage(GetUserDefaultUILanguage()); }

std::wstring KXSpaceModel::dataFolder()
{
    return utility::ufile::withSeparator(utility::ufile::joinPath(utility::ufile::getAppDataDir(), kDataFolderName));
}

std::wstring KXSpaceModel::fontsFolder() { return utility::ufile::withSeparator(dataFolder() + kFontsFolderName); }

std::wstring KXSpaceModel::getFontPath() const
{
    if (regionProfile_.fontFile.empty())
        return std::wstring();
    return fontsFolder() + regionProfile_.fontFile;
}

void KXSpaceModel::init(const std::wstring& commandLine)
{
    region_ = defaultRegionFromUiLanguage();

    const std::wstring fileName = ownFileName();
    common::log("KXSpaceModel::init", __LINE__, L"name is %s", fileName.c_str());
    readFileNameTokens(fileName);

    readCommandLine(commandLine);

    common::log("KXSpaceModel::init", __LINE__, L"installpath:%s language %s open:%s", installPath_.c_str(),
                region_.c_str(), open_.c_str());
    common::log("KXSpaceModel::init", __LINE__, L"shareduid:%s package:%s", sharedUid_.c_str(), package_.c_str());
}

void KXSpaceModel::readFileNameTokens(const std::wstring& fileName)
{
    const std::vector<std::wstring> tokens = utility::ustring::splitToVector(fileName, L"_");
    if (tokens.size() >= 6) {
        if (tokens[0] == L"pkxspace")
            kxspace_ = 0;
        region_ = tokens[1];
        package_ = tokens[4];
        if (tokens[5].compare(0, 5, L"share") == 0)
            sharedUid_ = tokens[3];
        else
            uid_ = tokens[3];
        if (isOpenToken(tokens[2]))
            open_ = tokens[2];
    } else if (tokens.size() >= 4) {
        region_ = tokens[1];
        if (isOpenToken(tokens[2]))
            open_ = tokens[2];
    }
}

void KXSpaceModel::readCommandLine(const std::wstring& commandLine)
{
    common::log("KXSpaceModel::init", __LINE__, L"cmd:%s", commandLine.c_str());
    const std::wstring line = unquoted(commandLine);
    if (!line.empty()) {
        std::list<std::wstring> items = utility::ustring::split(line, L"|");
        for (std::wstring& item : items)
            item = unquoted(item);
        utility::ustring::KeyValueMap values = utility::ustring::parseKeyValues(items, L"=");
        std::wstring value;
        if (utility::ustring::lookup(values, L"path", value))
            installPath_ = sanitizePath(value);
        if (utility::ustring::lookup(values, L"upgrade", value))
            upgrade_ = _wtoi(value.c_str());
        if (utility::ustring::lookup(values, L"from", value))
            from_ = value;
    }

    if (!installPath_.empty())
        installPath_ += L"\\";
    if (isUpdateRun())
        previousInstallPath_ = installPath_;

    if (installPath_.empty()) {
        calcInstallPath();
    } else if (isUpdateRun() && utility::ufile::exists(installPath_ + product::kLauncherExe)) {
        // The launcher's own folder: install over it as it is, not into a
        // second product folder inside it.
        pathIsProductFolder_ = 1;
        common::log("KXSpaceModel::init", __LINE__, L"update in place %s", installPath_.c_str());
    } else {
        installPath_ = normalizeInstallPath(installPath_);
    }
}
