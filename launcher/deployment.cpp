#include "launcher/deployment.h"

#include <windows.h>

#include "zul_deployment.h"

namespace deployment {

const char kPlayerDescriptionPath[] = "/zul/kxzulx";
const char kBuiltStorageHost[] = ZUL_CONFIG_HOST;
const char kBuiltDownloadHost[] = ZUL_DOWNLOAD_HOST;
const char kBuiltWebHost[] = ZUL_WEB_HOST;

namespace {

const char kDefaultPlayerPackage[] = "/kxzulx_en.7z";

#ifdef ZUL_TEST_HOOKS
// Test builds only: ZUL_TEST_HOST in the environment replaces both hosts, so
// that the program under test talks to the tests' local server.
bool testHost(std::string& host)
{
    char value[256] = {0};
    const DWORD length = GetEnvironmentVariableA("ZUL_TEST_HOST", value, sizeof(value));
    if (length == 0 || length >= sizeof(value))
        return false;
    host = value;
    return true;
}
#endif

std::string hostOr(const char* configured)
{
#ifdef ZUL_TEST_HOOKS
    std::string host;
    if (testHost(host))
        return host;
#endif
    return configured;
}

}  // namespace

std::string storageHost() { return hostOr(kBuiltStorageHost); }

std::string downloadHost() { return hostOr(kBuiltDownloadHost); }

std::string webHost() { return hostOr(kBuiltWebHost); }

std::string defaultPlayerPackageUrl() { return downloadHost() + kDefaultPlayerPackage; }

}  // namespace deployment
