#include "config/UpdateKey.h"

#include "config/AppConfig.h"
#include "platform/os/TextCodec.h"

std::string InstallationUpdateKey(const AppConfig& config)
{
    // A document of its own: the object's document may be the user's copy.
    XmlDocument installation;
    installation.SetDocText(nullptr);
    if (!installation.LoadFile(platform::os::Utf16ToUtf8(config.installationFilePath)))
        return {};
    installation.Rewind();
    if (!installation.FindChild(u"Update"))
        return {};
    installation.EnterChild();
    return platform::os::Utf16ToUtf8(installation.GetAttribute(installation.GetCurrent(), u"key"));
}

std::string InstallationUpdateKey() { return InstallationUpdateKey(AppConfig::Instance()); }
