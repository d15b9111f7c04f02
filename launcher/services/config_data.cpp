#include "launcher/services/config_data.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>

#include <map>

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "launcher/services/file_ex.h"
#include "foundation/scoped_handle.h"

namespace {

const char kAutorun[] = "autorun";
const char kExistgame[] = "existgame";
const char kMinbyclose[] = "minbyclose";
const char kConfigversion[] = "configversion";

// Splits "a=1|b=2" into a key/value map; a part without "=" is skipped.
std::map<std::string, std::string> splitPairs(const std::string& content)
{
    std::map<std::string, std::string> pairs;
    size_t start = 0;
    while (start <= content.size()) {
        size_t end = content.find('|', start);
        if (end == std::string::npos)
            end = content.size();
        std::string part = content.substr(start, end - start);
        size_t eq = part.find('=');
        if (eq != std::string::npos)
            pairs[part.substr(0, eq)] = part.substr(eq + 1);
        start = end + 1;
    }
    return pairs;
}

// A value of "0" clears the flag; anything else leaves it as it is.
void applyFlag(const std::map<std::string, std::string>& pairs, const char* key, bool& flag)
{
    auto it = pairs.find(key);
    if (it != pairs.end() && it->second == "0")
        flag = false;
}

// The leading decimal number of text (as atoi reads it, clamped to int);
// false when text does not start with one.
bool leadingNumber(const std::string& text, int& value)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long number = strtoll(begin, &end, 10);
    if (end == begin)
        return false;
    if (number > INT_MAX)
        number = INT_MAX;
    if (number < INT_MIN)
        number = INT_MIN;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

KXZulSetupImpl& KXZulSetupImpl::instance()
{
    static KXZulSetupImpl store(utility::ufile::getExeDir() + L"config.data");
    return store;
}

KXZulSetupImpl::KXZulSetupImpl(const std::wstring& path) : path_(path) {}

bool KXZulSetupImpl::loadConfig()
{
    utility::ScopedHandle file(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        common::log("KXZulSetupImpl::loadConfig", __LINE__, L"open config file error %d", GetLastError());
        return false;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) {
        common::log("KXZulSetupImpl::loadConfig", __LINE__, L"size config file error %d", GetLastError());
        return false;
    }
    if (size.QuadPart > kMaxFileBytes) {
        common::log("KXZulSetupImpl::loadConfig", __LINE__,
                    L"config file too large (%I64d bytes), keeping the defaults", size.QuadPart);
        return false;
    }
    std::string content(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() && !ReadFile(file.get(), &content[0], static_cast<DWORD>(content.size()), &read, nullptr)) {
        common::log("KXZulSetupImpl::loadConfig", __LINE__, L"read config file error %d", GetLastError());
        return false;
    }
    content.resize(read);
    if (content.empty())
        return true;
    applyContent(content);
    return true;
}

void KXZulSetupImpl::applyContent(const std::string& content)
{
    // A stray NUL would hide the rest of a value from the number reader.
    std::string text = content.substr(0, content.find('\0'));
    std::map<std::string, std::string> pairs = splitPairs(text);

    utility::ScopedLock guard(lock_);
    applyFlag(pairs, kAutorun, autorun_);
    applyFlag(pairs, kExistgame, existgame_);
    applyFlag(pairs, kMinbyclose, minbyclose_);
    auto it = pairs.find(kConfigversion);
    if (it != pairs.end() && !it->second.empty()) {
        int version = 0;
        if (leadingNumber(it->second, version)) {
            configversion_ = version;
        } else {
            common::log("KXZulSetupImpl::applyContent", __LINE__, L"bad configversion [%s], keeping %d",
                        utility::ustring::toWide(it->second).c_str(), configversion_);
        }
    }
}

std::string KXZulSetupImpl::formatContent() const
{
    utility::ScopedLock guard(lock_);
    std::string line;
    line += std::string(kAutorun) + "=" + (autorun_ ? "1" : "0");
    line += std::string("|") + kExistgame + "=" + (existgame_ ? "1" : "0");
    line += std::string("|") + kMinbyclose + "=" + (minbyclose_ ? "1" : "0");
    line += std::string("|") + kConfigversion + "=" + std::to_string(configversion_);
    return line;
}

bool KXZulSetupImpl::saveConfig()
{
    // One writer at a time: the worker and the UI thread both save.
    utility::ScopedLock guard(lock_);
    const std::string line = formatContent();
    const std::wstring temp = path_ + L".tmp";
    {
        utility::ScopedHandle file(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            common::log("KXZulSetupImpl::saveConfig", __LINE__, L"create config file %s error %d", temp.c_str(),
                        GetLastError());
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
            written != line.size() || !FlushFileBuffers(file.get())) {
            common::log("KXZulSetupImpl::saveConfig", __LINE__, L"write config file %s error %d", temp.c_str(),
                        GetLastError());
            file.reset();
            utility::ufile::deleteIfPresent(temp);
            return false;
        }
    }
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!utility::ufile::moveFile(temp, path_, flags)) {
        utility::ufile::deleteIfPresent(temp);
        return false;
    }
    return true;
}

bool KXZulSetupImpl::autorun() const { return utility::lockedCopy(lock_, autorun_); }

bool KXZulSetupImpl::existgame() const { return utility::lockedCopy(lock_, existgame_); }

bool KXZulSetupImpl::minbyclose() const { return utility::lockedCopy(lock_, minbyclose_); }

int KXZulSetupImpl::configversion() const { return utility::lockedCopy(lock_, configversion_); }

void KXZulSetupImpl::setAutorun(bool on) { utility::lockedStore(lock_, autorun_, on); }

void KXZulSetupImpl::setExistgame(bool on) { utility::lockedStore(lock_, existgame_, on); }

void KXZulSetupImpl::setMinbyclose(bool on) { utility::lockedStore(lock_, minbyclose_, on); }

void KXZulSetupImpl::setConfigversion(int version) { utility::lockedStore(lock_, configversion_, version); }
