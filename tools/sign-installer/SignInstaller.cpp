// zandrel-sign: makes the update server's signing key and signs installer files with it.
//   zandrel-sign keygen KEY.pem            new private key (never over an existing file); prints the public
//   key zandrel-sign public KEY.pem            prints the public key, for <Update key="..."/> in config.xml
//   zandrel-sign sign KEY.pem FILE [OUT]   the signature over FILE's bytes, for the reply's "signature",
//                                          printed or written to OUT
#include "update/signing/InstallerSigning.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

int Usage(const char* program)
{
    std::fprintf(stderr,
        "usage: %s keygen KEY.pem\n"
        "       %s public KEY.pem\n"
        "       %s sign KEY.pem FILE [OUT]\n",
        program, program, program);
    return 2;
}

int Fail(const std::string& what)
{
    std::fprintf(stderr, "zandrel-sign: %s\n", what.c_str());
    return 1;
}

std::optional<std::string> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

// The private key is readable by its owner alone from the moment the file exists.
bool WriteNewPrivateFile(const std::string& path, const std::string& text)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t step = write(fd, text.data() + written, text.size() - written);
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            break;
        written += static_cast<size_t>(step);
    }
    const bool complete = written == text.size() && fsync(fd) == 0;
    return close(fd) == 0 && complete;
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

int KeyGen(const std::string& keyPath)
{
    const std::optional<SigningKeyPair> pair = GenerateSigningKey();
    if (!pair)
        return Fail("no key could be made");
    if (!WriteNewPrivateFile(keyPath, pair->privateKeyPem))
        return Fail(keyPath + ": " + std::strerror(errno));
    std::printf("%s\n", pair->publicKey.c_str());
    return 0;
}

int PrintPublicKey(const std::string& keyPath)
{
    const std::optional<std::string> pem = ReadFile(keyPath);
    if (!pem)
        return Fail(keyPath + ": cannot be read");
    const std::optional<std::string> publicKey = PublicKeyOf(*pem);
    if (!publicKey)
        return Fail(keyPath + ": not an Ed25519 private key");
    std::printf("%s\n", publicKey->c_str());
    return 0;
}

int Sign(const std::string& keyPath, const std::string& filePath, const char* outPath)
{
    const std::optional<std::string> pem = ReadFile(keyPath);
    if (!pem)
        return Fail(keyPath + ": cannot be read");
    const std::optional<std::string> file = ReadFile(filePath);
    if (!file)
        return Fail(filePath + ": cannot be read");
    const std::optional<std::string> signature = SignBytes(*pem, *file);
    if (!signature)
        return Fail(keyPath + ": not an Ed25519 private key");
    if (!outPath) {
        std::printf("%s\n", signature->c_str());
        return 0;
    }
    return WriteText(outPath, *signature + "\n") ? 0 : Fail(std::string(outPath) + ": cannot be written");
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "keygen" && argc == 3)
        return KeyGen(argv[2]);
    if (command == "public" && argc == 3)
        return PrintPublicKey(argv[2]);
    if (command == "sign" && (argc == 4 || argc == 5))
        return Sign(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    return Usage(argv[0]);
}
