#include "config/KeptProfile.h"

#include "config/AppConfig.h"
#include "config/InstallationAttribute.h"
#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"

bool InstallationKeepsProfile(const AppConfig& config)
{
    std::u16string persistent;
    ReadInstallationAttribute(
        platform::os::Utf16ToUtf8(config.installationFilePath), u"Profile", u"persistent", persistent);
    return persistent == u"1";
}

bool InstallationKeepsProfile() { return InstallationKeepsProfile(AppConfig::Instance()); }

std::string KeptProfileFolder()
{
    const std::string data = platform::os::Os().UserDataFolder();
    return data.empty() ? std::string() : data + "/zandrel/profile";
}
