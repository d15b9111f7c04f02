// Where the launcher fetches from: the publisher's storage host (remote
// configuration, package description) and its download host (the default
// emulator package). Release builds use the hosts of the deployment file
// they were built from; test builds may point both at a local server instead.
#pragma once

#include <string>

namespace deployment {

// "scheme://name[:port]" without a trailing separator.
std::string storageHost();
std::string downloadHost();
// The game's web site, whose pages the main window's web views show.
std::string webHost();

// The default emulator package, on the download host.
std::string defaultPlayerPackageUrl();
// The description of the emulator package, below the storage host.
extern const char kPlayerDescriptionPath[];  // "/zul/kxzulx"
// The deployment's hosts as the program was built with them; kept whole in
// the program's data, where a look at the file finds them.
extern const char kBuiltStorageHost[];
extern const char kBuiltDownloadHost[];
extern const char kBuiltWebHost[];

}  // namespace deployment
