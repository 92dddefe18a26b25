// The TLS seam on Windows: Schannel through SSPI, the certificate checked by the system's chain
// and SSL policy, its fingerprint hashed with CNG.
#include "platform/tls.h"

#define SECURITY_WIN32
#include <windows.h>

#include <bcrypt.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace os {

namespace {

class schannel_credentials : public tls_credentials {
public:
    ~schannel_credentials() override
    {
        if (valid)
            FreeCredentialsHandle(&handle);
    }
    CredHandle handle{};
    bool valid = false;
};

constexpr ULONG context_request = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                  ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;

std::string utc_text(const FILETIME& time)
{
    SYSTEMTIME st{};
    if (!FileTimeToSystemTime(&time, &st))
        return "?";
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
                  st.wMinute, st.wSecond);
    return text;
}

std::string name_text(CERT_NAME_BLOB* name)
{
    char text[512] = {};
    CertNameToStrA(X509_ASN_ENCODING, name, CERT_X500_NAME_STR, text, sizeof text);
    return text;
}

bool sha256(const BYTE* data, DWORD length, std::array<std::uint8_t, 32>& digest)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        return false;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
    ok = ok && BCryptHashData(hash, const_cast<BYTE*>(data), length, 0) == 0;
    ok = ok && BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0) == 0;
    if (hash)
        BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok;
}

// The system's verdict on the chain and on the name the user gave for the server.
bool chain_accepted(PCCERT_CONTEXT cert, const std::string& target)
{
    CERT_CHAIN_PARA para{};
    para.cbSize = sizeof para;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &para, 0, nullptr, &chain))
        return false;
    std::vector<wchar_t> wide(target.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = wide.data();
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    bool ok = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status) &&
              status.dwError == 0;
    CertFreeCertificateChain(chain);
    return ok;
}

class schannel_session : public tls_session {
public:
    schannel_session(std::shared_ptr<schannel_credentials> credentials, const std::string& target)
        : credentials_(std::move(credentials)), target_(target)
    {
    }
    ~schannel_session() override
    {
        if (have_context_)
            DeleteSecurityContext(&context_);
    }

    tls_step handshake(std::string& in, std::string& out) override
    {
        if (have_context_ && in.empty())
            return tls_step::more;
        SecBuffer out_buffer{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out_buffer};
        SecBuffer in_buffers[2] = {{static_cast<ULONG>(in.size()), SECBUFFER_TOKEN, in.data()},
                                   {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in_buffers};
        ULONG attributes = 0;
        SECURITY_STATUS status = InitializeSecurityContextA(
            &credentials_->handle, have_context_ ? &context_ : nullptr, const_cast<char*>(target_.c_str()),
            context_request, 0, 0, have_context_ ? &in_desc : nullptr, 0, have_context_ ? nullptr : &context_,
            &out_desc, &attributes, nullptr);
        if (out_buffer.pvBuffer) {
            out.append(static_cast<const char*>(out_buffer.pvBuffer), out_buffer.cbBuffer);
            FreeContextBuffer(out_buffer.pvBuffer);
        }
        if (!have_context_ && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) {
            have_context_ = true;
            return tls_step::more; // the client hello is out; nothing was received yet
        }
        if (status == SEC_E_INCOMPLETE_MESSAGE)
            return tls_step::more;
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED)
            return tls_step::failed;
        // Bytes after the handshake's last record belong to what follows it.
        std::size_t extra = in_buffers[1].BufferType == SECBUFFER_EXTRA ? in_buffers[1].cbBuffer : 0;
        in.erase(0, in.size() - extra);
        if (status == SEC_I_CONTINUE_NEEDED)
            return tls_step::more;
        if (QueryContextAttributesA(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK)
            return tls_step::failed;
        return tls_step::done;
    }

    bool certificate(tls_certificate& info) override
    {
        PCCERT_CONTEXT cert = nullptr;
        if (QueryContextAttributesA(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert) != SEC_E_OK || !cert)
            return false;
        info.subject = name_text(&cert->pCertInfo->Subject);
        info.issuer = name_text(&cert->pCertInfo->Issuer);
        info.valid_from = utc_text(cert->pCertInfo->NotBefore);
        info.valid_to = utc_text(cert->pCertInfo->NotAfter);
        bool ok = sha256(cert->pbCertEncoded, cert->cbCertEncoded, info.sha256);
        info.trusted = ok && chain_accepted(cert, target_);
        CertFreeCertificateContext(cert);
        return ok;
    }

    std::string description() override
    {
        SecPkgContext_ConnectionInfo connection{};
        if (QueryContextAttributesA(&context_, SECPKG_ATTR_CONNECTION_INFO, &connection) != SEC_E_OK)
            return "TLS";
        const char* protocol = "TLS";
        if (connection.dwProtocol & SP_PROT_TLS1_3_CLIENT)
            protocol = "TLS 1.3";
        else if (connection.dwProtocol & SP_PROT_TLS1_2_CLIENT)
            protocol = "TLS 1.2";
        else if (connection.dwProtocol & SP_PROT_TLS1_1_CLIENT)
            protocol = "TLS 1.1";
        else if (connection.dwProtocol & SP_PROT_TLS1_0_CLIENT)
            protocol = "TLS 1.0";
        const char* cipher = "cipher";
        switch (connection.aiCipher) {
        case CALG_AES_128:
        case CALG_AES_192:
        case CALG_AES_256:
        case CALG_AES:
            cipher = "AES";
            break;
        case CALG_3DES:
            cipher = "3DES";
            break;
        case CALG_RC4:
            cipher = "RC4";
            break;
        default:
            break;
        }
        char text[64];
        std::snprintf(text, sizeof text, "%s, %s %lu", protocol, cipher,
                      static_cast<unsigned long>(connection.dwCipherStrength));
        return text;
    }

    std::size_t record_limit() override { return sizes_.cbMaximumMessage ? sizes_.cbMaximumMessage : 16384; }

    bool encrypt(const void* data, std::size_t length, std::string& out) override
    {
        const char* p = static_cast<const char*>(data);
        while (length > 0) {
            ULONG n = static_cast<ULONG>(length < record_limit() ? length : record_limit());
            std::vector<char> record(sizes_.cbHeader + n + sizes_.cbTrailer);
            std::memcpy(record.data() + sizes_.cbHeader, p, n);
            SecBuffer buffers[4] = {
                {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                {n, SECBUFFER_DATA, record.data() + sizes_.cbHeader},
                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + n},
                {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            if (EncryptMessage(&context_, 0, &desc, 0) != SEC_E_OK)
                return false;
            out.append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
            p += n;
            length -= n;
        }
        return true;
    }

    tls_step decrypt(std::string& in, std::string& plain) override
    {
        bool produced = false;
        while (!in.empty()) {
            // An alert record (type 21 in the clear header) ends the stream: close_notify, or a
            // fatal alert. Wine's Schannel (8.0) decrypts a close_notify to an empty record with
            // SEC_E_OK instead of SEC_I_CONTEXT_EXPIRED, so the type is looked at first.
            if (static_cast<unsigned char>(in[0]) == 21)
                return produced ? tls_step::done : tls_step::closed;
            SecBuffer buffers[4] = {{static_cast<ULONG>(in.size()), SECBUFFER_DATA, in.data()},
                                    {0, SECBUFFER_EMPTY, nullptr},
                                    {0, SECBUFFER_EMPTY, nullptr},
                                    {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            SECURITY_STATUS status = DecryptMessage(&context_, &desc, 0, nullptr);
            if (status == SEC_E_INCOMPLETE_MESSAGE)
                break;
            if (status == SEC_I_CONTEXT_EXPIRED)
                return tls_step::closed;
            if (status != SEC_E_OK)
                return tls_step::failed;
            std::size_t extra = 0;
            for (const SecBuffer& b : buffers) {
                if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0) {
                    plain.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
                    produced = true;
                } else if (b.BufferType == SECBUFFER_EXTRA) {
                    extra = b.cbBuffer;
                }
            }
            if (extra >= in.size())
                return tls_step::failed; // nothing consumed: the stream cannot advance
            in.erase(0, in.size() - extra);
        }
        return produced ? tls_step::done : tls_step::more;
    }

    bool close_notify(std::string& out) override
    {
        DWORD type = SCHANNEL_SHUTDOWN;
        SecBuffer token{sizeof type, SECBUFFER_TOKEN, &type};
        SecBufferDesc token_desc{SECBUFFER_VERSION, 1, &token};
        if (ApplyControlToken(&context_, &token_desc) != SEC_E_OK)
            return false;
        SecBuffer out_buffer{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out_buffer};
        ULONG attributes = 0;
        SECURITY_STATUS status = InitializeSecurityContextA(
            &credentials_->handle, &context_, const_cast<char*>(target_.c_str()), context_request, 0, 0,
            nullptr, 0, nullptr, &out_desc, &attributes, nullptr);
        if (out_buffer.pvBuffer) {
            out.append(static_cast<const char*>(out_buffer.pvBuffer), out_buffer.cbBuffer);
            FreeContextBuffer(out_buffer.pvBuffer);
        }
        return status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED;
    }

private:
    std::shared_ptr<schannel_credentials> credentials_;
    std::string target_;
    CtxtHandle context_{};
    bool have_context_ = false;
    SecPkgContext_StreamSizes sizes_{};
};

} // namespace

bool tls_available()
{
    return true;
}

std::shared_ptr<tls_credentials> tls_make_credentials()
{
    auto credentials = std::make_shared<schannel_credentials>();
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    // The certificate is judged by this program (chain policy, then the user), not refused here.
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    // TLS 1.2: its data connections resume by the session id the control connection's handshake
    // settled. A TLS 1.3 ticket arrives after the handshake, when Schannel may not have read it
    // before the data connection starts, and a server that checks reuse refuses that connection.
    settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    TimeStamp expiry{};
    if (AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND, nullptr,
                                  &settings, nullptr, nullptr, &credentials->handle, &expiry) != SEC_E_OK)
        return nullptr;
    credentials->valid = true;
    return credentials;
}

std::unique_ptr<tls_session> tls_start(const std::shared_ptr<tls_credentials>& credentials,
                                       const std::string& target_name)
{
    auto own = std::dynamic_pointer_cast<schannel_credentials>(credentials);
    if (!own)
        return nullptr;
    return std::make_unique<schannel_session>(std::move(own), target_name);
}

} // namespace os
