#include "config/AppConfig.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <variant>

#include "base/ProgramPaths.h"
#include "base/TextConversion.h"
#include "config/AppConfigFields.h"
#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"

namespace {

// One call for each kind of field an AppConfigField may name.
template <typename... Calls> struct Overloaded : Calls... {
    using Calls::operator()...;
};
template <typename... Calls> Overloaded(Calls...) -> Overloaded<Calls...>;

void SetFromText(AppConfig& config, const AppConfigField& field, const std::u16string& text)
{
    std::visit(Overloaded {
                   [&](std::u16string AppConfig::*member) { config.*member = text; },
                   [&](std::uint32_t AppConfig::*member) { config.*member = TextToUInt(text); },
                   [&](bool AppConfig::*member) { config.*member = TextToBool(text); },
               },
        field.member);
}

std::u16string TextOf(const AppConfig& config, const AppConfigField& field)
{
    return std::visit(Overloaded {
                          [&](std::u16string AppConfig::*member) { return config.*member; },
                          [&](std::uint32_t AppConfig::*member) { return UIntToText(config.*member); },
                          [&](bool AppConfig::*member) { return UIntToText(config.*member ? 1 : 0); },
                      },
        field.member);
}

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

bool AppConfig::VisitFields(const std::function<void(const AppConfigField&)>& visit)
{
    for (const AppConfigElement& element : AppConfigElements()) {
        if (!SelectElement(element.name))
            return false;
        for (const AppConfigField& field : element.fields)
            visit(field);
        document.LeaveElement();
    }
    return true;
}

bool AppConfig::Load()
{
    return VisitFields([this](const AppConfigField& field) {
        SetFromText(*this, field, document.GetAttribute(document.GetCurrent(), field.attribute));
    });
}

bool AppConfig::Save()
{
    const bool complete = VisitFields([this](const AppConfigField& field) {
        document.SetAttribute(document.GetCurrent(), field.attribute, TextOf(*this, field));
    });
    if (!complete)
        return false;

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
