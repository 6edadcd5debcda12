#pragma once

#include "update/JsonMessage.h"

#include <string>

// The update server's reply: which versions exist and where the installer is.
class UpdateInfo : public JsonMessage {
public:
    void WriteFields(Json::Value& root) const override;
    bool ReadFields(const Json::Value& root) override;
    // A reply counts only when it names a version.
    bool IsValid() const;

    std::string newVersion;
    std::string minVersion;
    std::string version;
    std::string versionName;
    std::string versionUrl;
    // Optional: base64 of the update server's Ed25519 signature over the installer's bytes.
    // Written only when present, after the five, so a reply without it writes as before.
    std::string signature;

protected:
    const char* const* FieldNames() const override;
};
