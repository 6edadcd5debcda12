#include "update/InstallerSignature.h"

#include "update/Base64.h"

#include <fstream>
#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>

namespace {

constexpr size_t kKeyBytes = 32;
constexpr size_t kSignatureBytes = 64;
struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

std::string TrimBlanks(const std::string& text)
{
    const char* const blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The base64 reader skips white space and stops at "=": only a text that the bytes encode back
// to counts, so that no two texts stand for one value and nothing trails a valid one.
std::optional<std::string> DecodeExactly(const std::string& text, size_t byteCount)
{
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.size() != (byteCount + 2) / 3 * 4)
        return std::nullopt;
    std::string bytes;
    if (!Base64Decode(trimmed, bytes) || bytes.size() != byteCount || Base64Encode(bytes) != trimmed)
        return std::nullopt;
    return bytes;
}

bool Verify(const std::string& key, const std::string& signature, const std::string& message)
{
    std::unique_ptr<EVP_PKEY, KeyFree> publicKey(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(key.data()), key.size()));
    std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    const bool valid = publicKey && context
        && EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, publicKey.get()) == 1
        && EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
               signature.size(), reinterpret_cast<const unsigned char*>(message.data()), message.size())
            == 1;
    // A refused signature leaves its reason queued on this thread, where the next TLS transfer would find it.
    ERR_clear_error();
    return valid;
}

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kLargestInstaller)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), size) || in.peek() != std::ifstream::traits_type::eof())
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<std::string> DecodeUpdateKey(const std::string& text) { return DecodeExactly(text, kKeyBytes); }

std::optional<std::string> DecodeInstallerSignature(const std::string& text)
{
    return DecodeExactly(text, kSignatureBytes);
}

bool SignatureIsValid(
    const std::string& keyText, const std::string& signatureText, const std::string& message)
{
    const std::optional<std::string> key = DecodeUpdateKey(keyText);
    const std::optional<std::string> signature = DecodeInstallerSignature(signatureText);
    return key && signature && Verify(*key, *signature, message);
}

bool InstallerSignatureIsValid(
    const std::string& keyText, const std::string& signatureText, const std::string& path)
{
    const std::optional<std::string> key = DecodeUpdateKey(keyText);
    const std::optional<std::string> signature = DecodeInstallerSignature(signatureText);
    // A malformed key or signature is refused before the file is read at all.
    if (!key || !signature)
        return false;
    const std::optional<std::string> installer = ReadWholeFile(path);
    return installer && Verify(*key, *signature, *installer);
}
