#include "launcher/services/server_certificate.h"

#include <schannel.h>
#include <wincrypt.h>

#include "foundation/log.h"
#include "foundation/scoped_handle.h"

namespace utility {
namespace servercert {

namespace {

typedef ScopedResource<NullMeansNone<PCCERT_CONTEXT, &CertFreeCertificateContext>> ScopedCertificate;
typedef ScopedResource<NullMeansNone<PCCERT_CHAIN_CONTEXT, &CertFreeCertificateChain>> ScopedChain;

}  // namespace

bool verify(CtxtHandle* connection, const std::wstring& host)
{
    ScopedCertificate certificate;
    const SECURITY_STATUS status = QueryContextAttributesW(connection, SECPKG_ATTR_REMOTE_CERT_CONTEXT,
                                                           certificate.receive());
    if (status != SEC_E_OK || !certificate.valid()) {
        common::log("utility::servercert::verify", __LINE__, L"no certificate from %s, status 0x%08x", host.c_str(),
                    static_cast<unsigned>(status));
        return false;
    }

    // The chain as the server sent it (the certificate's own store holds the
    // intermediates), up to a trusted root, for server authentication.
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuth};
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof(chainPara);
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    ScopedChain chain;
    if (!CertGetCertificateChain(nullptr, certificate.get(), nullptr, certificate.get()->hCertStore, &chainPara, 0,
                                 nullptr, chain.receive())) {
        common::log("utility::servercert::verify", __LINE__, L"no certificate chain for %s lastError = %d",
                    host.c_str(), GetLastError());
        return false;
    }

    // Revocation is Schannel's business (the downloads ask for it where the
    // servers can be reached); anything else wrong with the chain refuses it.
    // The SSL policy below does not see every chain error everywhere (Wine's
    // passes a chain that ends below any trusted root).
    const DWORD chainErrors = chain.get()->TrustStatus.dwErrorStatus &
                              ~static_cast<DWORD>(CERT_TRUST_REVOCATION_STATUS_UNKNOWN |
                                                  CERT_TRUST_IS_OFFLINE_REVOCATION);
    if (chainErrors != CERT_TRUST_NO_ERROR) {
        common::log("utility::servercert::verify", __LINE__, L"certificate chain of %s refused: trust error 0x%08x",
                    host.c_str(), static_cast<unsigned>(chainErrors));
        return false;
    }

    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof(ssl);
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA policyPara = {};
    policyPara.cbSize = sizeof(policyPara);
    policyPara.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS policyStatus = {};
    policyStatus.cbSize = sizeof(policyStatus);
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policyPara, &policyStatus)) {
        common::log("utility::servercert::verify", __LINE__, L"certificate policy of %s not checked lastError = %d",
                    host.c_str(), GetLastError());
        return false;
    }
    if (policyStatus.dwError != 0) {
        common::log("utility::servercert::verify", __LINE__, L"certificate of %s refused: error 0x%08x", host.c_str(),
                    static_cast<unsigned>(policyStatus.dwError));
        return false;
    }
    return true;
}

}  // namespace servercert
}  // namespace utility
