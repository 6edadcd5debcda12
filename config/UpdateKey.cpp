#include "config/UpdateKey.h"

#include "config/AppConfig.h"
#include "config/InstallationAttribute.h"
#include "platform/os/TextCodec.h"

std::string InstallationUpdateKey(const AppConfig& config)
{
    std::u16string key;
    ReadInstallationAttribute(platform::os::Utf16ToUtf8(config.installationFilePath), u"Update", u"key", key);
    return platform::os::Utf16ToUtf8(key);
}

std::string InstallationUpdateKey() { return InstallationUpdateKey(AppConfig::Instance()); }
