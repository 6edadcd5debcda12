#include "config/KeptProfile.h"

#include "config/AppConfig.h"
#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"

bool InstallationKeepsProfile(const AppConfig& config)
{
    // A document of its own: the object's document may be the user's copy.
    XmlDocument installation;
    installation.SetDocText(nullptr);
    if (!installation.LoadFile(platform::os::Utf16ToUtf8(config.installationFilePath)))
        return false;
    installation.Rewind();
    if (!installation.FindChild(u"Profile"))
        return false;
    installation.EnterChild();
    return installation.GetAttribute(installation.GetCurrent(), u"persistent") == u"1";
}

bool InstallationKeepsProfile() { return InstallationKeepsProfile(AppConfig::Instance()); }

std::string KeptProfileFolder()
{
    const std::string data = platform::os::Os().UserDataFolder();
    return data.empty() ? std::string() : data + "/zandrel/profile";
}
