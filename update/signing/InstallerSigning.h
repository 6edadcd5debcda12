#pragma once

#include <optional>
#include <string>

// The release side of installer signatures: Ed25519 key pairs and signatures in the forms the
// program reads (base64 of the raw public key for config.xml, base64 of the signature for the
// update reply). Private keys are PEM (PKCS #8), which openssl's own commands read as well.

struct SigningKeyPair {
    std::string privateKeyPem;
    std::string publicKey;
};

// A fresh key pair; nothing when the system's random source fails.
std::optional<SigningKeyPair> GenerateSigningKey();
// The base64 public key of a PEM private key; nothing when it is not an Ed25519 private key.
std::optional<std::string> PublicKeyOf(const std::string& privateKeyPem);
// The base64 signature over bytes; nothing when the key is not an Ed25519 private key.
std::optional<std::string> SignBytes(const std::string& privateKeyPem, const std::string& bytes);
