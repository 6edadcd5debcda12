#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Installers are signed with Ed25519: the installation names the update server's public key,
// the update reply carries the signature over the installer file's bytes. Both travel as
// standard base64 (surrounding white space aside, only the one canonical text of each value).

// Pure Ed25519 reads the whole message at once, so an installer is held in memory: nothing this
// program installs comes near this size, and a hostile server cannot make it take more.
constexpr std::int64_t kLargestInstaller = std::int64_t(1) << 30;

// The 32 bytes of a public key, or nothing when text is not exactly their base64.
std::optional<std::string> DecodeUpdateKey(const std::string& text);
// The 64 bytes of a signature, or nothing when text is not exactly their base64.
std::optional<std::string> DecodeInstallerSignature(const std::string& text);

// True only when signatureText is keyText's signature over message.
bool SignatureIsValid(
    const std::string& keyText, const std::string& signatureText, const std::string& message);
// The same over the bytes of the file at path; false when it cannot be read whole or is larger
// than any installer.
bool InstallerSignatureIsValid(
    const std::string& keyText, const std::string& signatureText, const std::string& path);
