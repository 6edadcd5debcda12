#include "config/AppConfig.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "base/ProgramPaths.h"
#include "base/TextConversion.h"
#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"

namespace {

std::unique_ptr<AppConfig>& InstanceSlot()
{
    static std::unique_ptr<AppConfig> instance;
    return instance;
}

std::u16string UserCopyPath()
{
    const std::string folder = platform::os::Os().UserConfigFolder();
    if (folder.empty())
        return {};
    return platform::os::Utf8ToUtf16(folder) + u"/zandrel/config.xml";
}

} // namespace

AppConfig& AppConfig::Instance()
{
    std::unique_ptr<AppConfig>& slot = InstanceSlot();
    if (!slot)
        slot = std::make_unique<AppConfig>(ProgramDirectory() + u"config.xml", UserCopyPath());
    return *slot;
}

AppConfig& AppConfig::ResetInstanceForTests(const std::u16string& configFilePath)
{
    std::unique_ptr<AppConfig>& slot = InstanceSlot();
    if (slot)
        *slot = AppConfig(configFilePath);
    else
        slot = std::make_unique<AppConfig>(configFilePath);
    return *slot;
}

AppConfig::AppConfig(std::u16string configFilePath)
    : AppConfig(std::move(configFilePath), std::u16string())
{
}

AppConfig::AppConfig(std::u16string installationConfigPath, std::u16string userCopyPath)
    : filePath(installationConfigPath)
    , installationFilePath(std::move(installationConfigPath))
    , userCopyFilePath(std::move(userCopyPath))
{
    document.SetDocText(nullptr);
    document.SetFlags(0);
    // A copy that cannot be read or lacks an element (damaged, cut short) gives way to the
    // installation's file, and the next save replaces it.
    if (UsesUserCopy() && document.LoadFile(platform::os::Utf16ToUtf8(userCopyFilePath)) && Load()) {
        filePath = userCopyFilePath;
        return;
    }
    document.SetDocText(nullptr);
    document.LoadFile(platform::os::Utf16ToUtf8(installationFilePath));
    Load();
}

bool AppConfig::UsesUserCopy() const
{
    return !userCopyFilePath.empty()
        && !platform::os::Os().CanWriteFile(platform::os::Utf16ToUtf8(installationFilePath));
}

bool AppConfig::SelectElement(const char16_t* name)
{
    document.Rewind();
    if (!document.FindChild(name))
        return false;
    document.EnterChild();
    return true;
}

std::u16string AppConfig::Read(const char16_t* attribute) const
{
    return document.GetAttribute(document.GetCurrent(), attribute);
}

void AppConfig::Write(const char16_t* attribute, const std::u16string& value)
{
    document.SetAttribute(document.GetCurrent(), attribute, value);
}

void AppConfig::WriteUInt(const char16_t* attribute, std::uint32_t value)
{
    Write(attribute, UIntToText(value));
}

void AppConfig::WriteFlag(const char16_t* attribute, bool value)
{
    Write(attribute, UIntToText(value ? 1 : 0));
}

bool AppConfig::Load()
{
    if (!SelectElement(u"Channel"))
        return false;
    channelRemote = TextToBool(Read(u"remote"));
    channelUrl = Read(u"url");
    channelIp = Read(u"ip");
    channelLoop = TextToBool(Read(u"loop"));
    channelVideo = Read(u"video");
    channelAudio = Read(u"audio");
    channelAppId = TextToUInt(Read(u"appid"));
    channelSid = TextToUInt(Read(u"sid"));
    channelSubSid = TextToUInt(Read(u"subsid"));
    channelPort = TextToUInt(Read(u"port"));
    document.LeaveElement();

    if (!SelectElement(u"Update"))
        return false;
    updateUrl = Read(u"url");
    document.LeaveElement();

    if (!SelectElement(u"Notify"))
        return false;
    notifyUrl = Read(u"url");
    notifyTime = TextToUInt(Read(u"time"));
    powerboot = TextToBool(Read(u"powerboot"));
    testMode = TextToBool(Read(u"test"));
    optionexit = TextToBool(Read(u"optionexit"));
    document.LeaveElement();

    if (!SelectElement(u"Account"))
        return false;
    accountRegUrl = Read(u"regurl");
    accountPasswordUrl = Read(u"passwordurl");
    document.LeaveElement();
    return true;
}

bool AppConfig::Save()
{
    if (!SelectElement(u"Channel"))
        return false;
    Write(u"url", channelUrl);
    WriteFlag(u"remote", channelRemote);
    WriteFlag(u"loop", channelLoop);
    Write(u"video", channelVideo);
    Write(u"audio", channelAudio);
    WriteUInt(u"appid", channelAppId);
    WriteUInt(u"sid", channelSid);
    WriteUInt(u"subsid", channelSubSid);
    WriteUInt(u"port", channelPort);
    Write(u"ip", channelIp);
    document.LeaveElement();

    if (!SelectElement(u"Update"))
        return false;
    Write(u"url", updateUrl);
    document.LeaveElement();

    if (!SelectElement(u"Notify"))
        return false;
    Write(u"url", notifyUrl);
    WriteUInt(u"time", notifyTime);
    WriteFlag(u"powerboot", powerboot);
    WriteFlag(u"test", testMode);
    WriteFlag(u"optionexit", optionexit);
    document.LeaveElement();

    if (!SelectElement(u"Account"))
        return false;
    Write(u"passwordurl", accountPasswordUrl);
    Write(u"regurl", accountRegUrl);
    document.LeaveElement();

    std::u16string target = filePath;
    if (UsesUserCopy()) {
        target = userCopyFilePath;
        std::error_code ignored;
        std::filesystem::create_directories(
            std::filesystem::path(platform::os::Utf16ToUtf8(target)).parent_path(), ignored);
    }
    // The caller learns of a failed write; the document's result keeps the reason.
    if (!document.SaveFile(platform::os::Utf16ToUtf8(target)))
        return false;
    filePath = target;
    return true;
}
