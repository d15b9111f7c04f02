#include "trusted_program.h"

#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

#include "log.h"
#include "system_dll.h"

namespace utility {

namespace {

// The publishers the build was configured with (foundation/CMakeLists.txt).
const wchar_t* const kTrustedPublishers[] = {
#include "trusted_publishers.inc"
    nullptr};

// The functions of wintrust.dll and crypt32.dll the check calls, from the
// system folder only. Loaded on first use and kept for the process's life.
struct TrustApi {
    decltype(&WinVerifyTrust) verifyTrust = nullptr;
    decltype(&WTHelperProvDataFromStateData) provDataFromStateData = nullptr;
    decltype(&WTHelperGetProvSignerFromChain) signerFromChain = nullptr;
    decltype(&CertVerifyCertificateChainPolicy) verifyChainPolicy = nullptr;
    decltype(&CertNameToStrW) nameToString = nullptr;

    bool loaded() const
    {
        return verifyTrust && provDataFromStateData && signerFromChain && verifyChainPolicy && nameToString;
    }
};

template <typename F>
void lookUp(HMODULE module, const char* name, F& function)
{
    function = module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    if (!function)
        common::log("utility::TrustedProgram", __LINE__, L"%S not found lastError = %d", name, GetLastError());
}

const TrustApi& trustApi()
{
    static const TrustApi api = [] {
        TrustApi loaded;
        HMODULE wintrust = loadSystemLibrary(L"wintrust.dll");
        HMODULE crypt32 = loadSystemLibrary(L"crypt32.dll");
        lookUp(wintrust, "WinVerifyTrust", loaded.verifyTrust);
        lookUp(wintrust, "WTHelperProvDataFromStateData", loaded.provDataFromStateData);
        lookUp(wintrust, "WTHelperGetProvSignerFromChain", loaded.signerFromChain);
        lookUp(crypt32, "CertVerifyCertificateChainPolicy", loaded.verifyChainPolicy);
        lookUp(crypt32, "CertNameToStrW", loaded.nameToString);
        return loaded;
    }();
    return api;
}

// What WinVerifyTrust's answer says about the file.
TrustVerdict verdictOf(HRESULT result)
{
    switch (result) {
    case TRUST_E_NOSIGNATURE:
    case TRUST_E_SUBJECT_FORM_UNKNOWN:
        return TrustVerdict::Unsigned;
    case TRUST_E_BAD_DIGEST:
    case CRYPT_E_HASH_VALUE:
    case NTE_BAD_SIGNATURE:
        return TrustVerdict::Altered;
    case CERT_E_UNTRUSTEDROOT:
    case CERT_E_CHAINING:
        return TrustVerdict::UntrustedRoot;
    default:
        return TrustVerdict::Refused;
    }
}

std::wstring subjectText(const TrustApi& api, CERT_NAME_BLOB* name, DWORD order)
{
    const DWORD type = CERT_X500_NAME_STR | order;
    const DWORD length = api.nameToString(X509_ASN_ENCODING, name, type, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring text(length, L'\0');
    api.nameToString(X509_ASN_ENCODING, name, type, &text[0], length);
    text.resize(length - 1);
    return text;
}

// The verification's state, closed when the check ends.
class VerifyState {
public:
    VerifyState(const TrustApi& api, WINTRUST_DATA& data) : api_(api), data_(data) {}
    ~VerifyState()
    {
        GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        api_.verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
    }
    VerifyState(const VerifyState&) = delete;
    VerifyState& operator=(const VerifyState&) = delete;

private:
    const TrustApi& api_;
    WINTRUST_DATA& data_;
};

}  // namespace

const wchar_t* trustVerdictText(TrustVerdict verdict)
{
    switch (verdict) {
    case TrustVerdict::Trusted:
        return L"trusted";
    case TrustVerdict::Unreadable:
        return L"cannot be opened against writes";
    case TrustVerdict::Unsigned:
        return L"unsigned";
    case TrustVerdict::Altered:
        return L"altered";
    case TrustVerdict::UntrustedRoot:
        return L"untrusted root";
    case TrustVerdict::OtherPublisher:
        return L"another publisher";
    case TrustVerdict::Refused:
        break;
    }
    return L"not trusted";
}

const std::vector<std::wstring>& trustedPublishers()
{
    static const std::vector<std::wstring> publishers = [] {
        std::vector<std::wstring> list;
        for (const wchar_t* const* publisher = kTrustedPublishers; *publisher; ++publisher)
            list.push_back(*publisher);
        return list;
    }();
    return publishers;
}

TrustedProgram::TrustedProgram(const std::wstring& path) : TrustedProgram(path, trustedPublishers()) {}

TrustedProgram::TrustedProgram(const std::wstring& path, const std::vector<std::wstring>& publishers) : path_(path)
{
    check(publishers);
    if (!trusted())
        file_.reset();
}

void TrustedProgram::refuse(TrustVerdict verdict, HRESULT code, const std::wstring& detail)
{
    verdict_ = verdict;
    common::log("utility::TrustedProgram", __LINE__, L"%s refused: %s%s, error = 0x%08x", path_.c_str(),
                trustVerdictText(verdict), detail.c_str(), static_cast<unsigned>(code));
}

void TrustedProgram::check(const std::vector<std::wstring>& publishers)
{
    // No write and no delete sharing: the file checked is the file started.
    file_.reset(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!file_.valid()) {
        const DWORD error = GetLastError();
        return refuse(TrustVerdict::Unreadable, HRESULT_FROM_WIN32(error));
    }
    const TrustApi& api = trustApi();
    if (!api.loaded())
        return refuse(TrustVerdict::Refused, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), L" (no verification)");

    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path_.c_str();
    file.hFile = file_.get();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const HRESULT verified = api.verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    VerifyState state(api, data);
    if (verified != S_OK)
        return refuse(verdictOf(verified), verified);

    // The signer and its chain from the verification just made, not from a
    // second read of the file.
    CRYPT_PROVIDER_DATA* provider = api.provDataFromStateData(data.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signer = provider ? api.signerFromChain(provider, 0, FALSE, 0) : nullptr;
    if (!signer || signer->csCertChain == 0 || !signer->pasCertChain || !signer->pasCertChain[0].pCert)
        return refuse(TrustVerdict::Unsigned, TRUST_E_NOSIGNATURE, L" (no signer)");
    CERT_INFO* certificate = signer->pasCertChain[0].pCert->pCertInfo;
    signer_ = subjectText(api, &certificate->Subject, 0);
    if (!signer->pChainContext)
        return refuse(TrustVerdict::UntrustedRoot, CERT_E_CHAINING, L" (no chain)");

    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof(policy);
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof(status);
    if (!api.verifyChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, signer->pChainContext, &policy, &status))
        return refuse(TrustVerdict::Refused, HRESULT_FROM_WIN32(GetLastError()), L" (chain not checked)");
    if (status.dwError != 0) {
        const HRESULT chainError = static_cast<HRESULT>(status.dwError);
        const TrustVerdict verdict = verdictOf(chainError);
        return refuse(verdict == TrustVerdict::Refused ? TrustVerdict::UntrustedRoot : verdict, chainError,
                      L" (" + signer_ + L")");
    }

    // Windows shows a subject in either order of its parts; both name the same signer.
    const std::wstring reversed = subjectText(api, &certificate->Subject, CERT_NAME_STR_REVERSE_FLAG);
    for (const std::wstring& publisher : publishers) {
        if (!publisher.empty() && (publisher == signer_ || publisher == reversed)) {
            verdict_ = TrustVerdict::Trusted;
            common::log("utility::TrustedProgram", __LINE__, L"%s trusted: signed by %s", path_.c_str(),
                        signer_.c_str());
            return;
        }
    }
    refuse(TrustVerdict::OtherPublisher, TRUST_E_SUBJECT_NOT_TRUSTED, L" (" + signer_ + L")");
}

}  // namespace utility
