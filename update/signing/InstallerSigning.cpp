#include "update/signing/InstallerSigning.h"

#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;

struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using Bio = std::unique_ptr<BIO, BioFree>;

std::string Base64Of(const std::string& bytes)
{
    std::string text((bytes.size() + 2) / 3 * 4 + 1, '\0');
    const int size = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    text.resize(static_cast<size_t>(size));
    return text;
}

Key ReadPrivateKey(const std::string& pem)
{
    Bio in(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    Key key(in ? PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr) : nullptr);
    if (!key || EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519)
        return nullptr;
    return key;
}

std::optional<std::string> RawPublicKey(EVP_PKEY* key)
{
    std::string raw(32, '\0');
    size_t size = raw.size();
    if (EVP_PKEY_get_raw_public_key(key, reinterpret_cast<unsigned char*>(raw.data()), &size) != 1
        || size != raw.size())
        return std::nullopt;
    return Base64Of(raw);
}

std::optional<std::string> PemOf(EVP_PKEY* key)
{
    Bio out(BIO_new(BIO_s_mem()));
    if (!out || PEM_write_bio_PrivateKey(out.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return std::nullopt;
    char* data = nullptr;
    const long size = BIO_get_mem_data(out.get(), &data);
    return std::string(data, static_cast<size_t>(size));
}

} // namespace

std::optional<SigningKeyPair> GenerateSigningKey()
{
    Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"));
    if (!key)
        return std::nullopt;
    std::optional<std::string> pem = PemOf(key.get());
    std::optional<std::string> publicKey = RawPublicKey(key.get());
    if (!pem || !publicKey)
        return std::nullopt;
    return SigningKeyPair { *pem, *publicKey };
}

std::optional<std::string> PublicKeyOf(const std::string& privateKeyPem)
{
    Key key = ReadPrivateKey(privateKeyPem);
    ERR_clear_error();
    return key ? RawPublicKey(key.get()) : std::nullopt;
}

std::optional<std::string> SignBytes(const std::string& privateKeyPem, const std::string& bytes)
{
    Key key = ReadPrivateKey(privateKeyPem);
    std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    std::string signature(64, '\0');
    size_t size = signature.size();
    const bool signedOk = key && context
        && EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1
        && EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &size,
               reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())
            == 1;
    ERR_clear_error();
    if (!signedOk || size != signature.size())
        return std::nullopt;
    return Base64Of(signature);
}
