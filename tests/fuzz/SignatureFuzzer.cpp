// Feeds arbitrary bytes to the reading of update keys and installer signatures and to the
// verification: nothing may crash, whatever decodes must be exactly a key or a signature, and
// only the run's key's own signature over the very same bytes may verify.
#include "update/Base64.h"
#include "update/InstallerSignature.h"
#include "update/signing/InstallerSigning.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Whatever decodes has the one size and is the input's own text, white space around it aside.
void CheckDecoded(
    const std::string& text, const std::optional<std::string>& bytes, size_t size, const char* what)
{
    if (bytes)
        Check(bytes->size() == size && text.find(Base64Encode(*bytes)) != std::string::npos, what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        const std::string text(reinterpret_cast<const char*>(data), size);
        CheckDecoded(text, DecodeUpdateKey(text), 32, "key");
        return 0;
    }
    // The first byte picks what is fuzzed, the second where the input splits in two.
    const std::uint8_t mode = data[0] % 4;
    const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    const size_t split = rest.empty() ? 0 : data[1] % (rest.size() + 1);
    const std::string first = rest.substr(0, split);
    const std::string second = rest.substr(split);
    // One key for the whole run, made at its start so that no private key is kept anywhere.
    static const std::optional<SigningKeyPair> pair = GenerateSigningKey();
    Check(pair.has_value(), "no key could be made");
    const std::string& privateKey = pair->privateKeyPem;
    const std::string& publicKey = pair->publicKey;

    switch (mode) {
    case 0:
        CheckDecoded(rest, DecodeUpdateKey(rest), 32, "key read wrongly");
        CheckDecoded(rest, DecodeInstallerSignature(rest), 64, "signature read wrongly");
        break;
    case 1:
        // Key, signature and message all from the input: a forgery would take far more than luck.
        Check(!SignatureIsValid(first, second, rest), "a made-up signature verifies");
        break;
    case 2: {
        // A real signature over the input, and one over its first part offered for its second.
        const std::string signature = SignBytes(privateKey, rest).value_or("");
        Check(SignatureIsValid(publicKey, signature, rest), "the key's own signature fails");
        Check(first == second
                || !SignatureIsValid(publicKey, SignBytes(privateKey, first).value_or(""), second),
            "a signature verifies another message");
        break;
    }
    default: {
        // A real signature with one of its characters replaced by an input byte.
        std::string signature = SignBytes(privateKey, second).value_or("");
        Check(!signature.empty(), "nothing was signed");
        const char replacement = first.empty() ? static_cast<char>(data[1]) : first[0];
        const size_t at = data[1] % signature.size();
        const bool same = signature[at] == replacement;
        signature[at] = replacement;
        Check(same || !SignatureIsValid(publicKey, signature, second), "a changed signature verifies");
        break;
    }
    }
    return 0;
}
