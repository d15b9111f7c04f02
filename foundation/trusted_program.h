// Whether a program that came from outside the installation (a download, a
// file in the game folder, where others can write) may run with this
// process's administrator rights: only when its publisher signed it.
//
// A program is trusted when all of this holds:
//   1. WinVerifyTrust (WINTRUST_ACTION_GENERIC_VERIFY_V2, no UI, no
//      revocation check, no network) accepts it: its signature matches its
//      bytes;
//   2. the signer's chain, taken from that same verification, passes the
//      Authenticode chain policy up to a root of the machine's trusted roots;
//   3. the signer's subject is one of the publishers this build trusts.
// The file is opened with write and delete sharing denied before the check
// and, when trusted, stays so until the object lets it go, so nobody can put
// another file in its place between the check and the start. Start it while
// the object lives (utility::process takes one), then let it go. A refused
// file is not held: the caller may delete it at once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scoped_handle.h"

namespace utility {

enum class TrustVerdict {
    Trusted,
    Unreadable,      // cannot be opened against writes (missing, or open for writing elsewhere)
    Unsigned,        // carries no signature
    Altered,         // its bytes changed after signing
    UntrustedRoot,   // the chain ends at a root this machine does not trust
    OtherPublisher,  // a valid signature of a publisher this build does not trust
    Refused,         // any other answer of the verification
};

// The word a log line gives for the verdict: "trusted", "unsigned",
// "altered", "untrusted root", "another publisher", ...
const wchar_t* trustVerdictText(TrustVerdict verdict);

// The publishers this build trusts, subjects as Windows shows them
// ("CN=Norvale Test Publisher, O=Norvale"). Set when the build is configured.
const std::vector<std::wstring>& trustedPublishers();

class TrustedProgram {
public:
    // Opens and checks path against trustedPublishers(); a refusal is logged
    // with the file and the reason.
    explicit TrustedProgram(const std::wstring& path);
    // The same against the given publishers.
    TrustedProgram(const std::wstring& path, const std::vector<std::wstring>& publishers);
    TrustedProgram(const TrustedProgram&) = delete;
    TrustedProgram& operator=(const TrustedProgram&) = delete;

    bool trusted() const { return verdict_ == TrustVerdict::Trusted; }
    TrustVerdict verdict() const { return verdict_; }
    const std::wstring& path() const { return path_; }
    // The signer's subject, when the signature could be read.
    const std::wstring& signer() const { return signer_; }
    // Lets the file go once the program has started.
    void release() { file_.reset(); }

private:
    void check(const std::vector<std::wstring>& publishers);
    void refuse(TrustVerdict verdict, HRESULT code, const std::wstring& detail = std::wstring());

    std::wstring path_;
    ScopedHandle file_;
    TrustVerdict verdict_ = TrustVerdict::Refused;
    std::wstring signer_;
};

}  // namespace utility
