#include "update/UpdateCheck.h"

#include "base/TextCodePage.h"
#include "platform/os/TextCodec.h"

namespace {

std::u16string Ui(const std::string& ansiText) { return platform::os::Utf8ToUtf16(AnsiToUtf8(ansiText)); }

// Fills "[%s]-[%s]" style templates in order.
std::u16string Format(const std::u16string& pattern, std::initializer_list<std::u16string> values)
{
    std::u16string text;
    auto value = values.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u's' && value != values.end()) {
            text += *value++;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

bool OlderThan(const VersionNumber& current, const std::string& versionText)
{
    return current.IsLessThan(VersionNumber().Parse(versionText));
}

UpdateDecision Decision(UpdateOutcome outcome, std::u16string text = {}, std::string url = {})
{
    return UpdateDecision { outcome, std::move(text), std::move(url) };
}

bool HasScheme(const std::string& address, const std::string& scheme)
{
    const std::string prefix = scheme + "://";
    if (address.size() <= prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = address[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    const char hostStart = address[prefix.size()];
    return hostStart != '/' && hostStart != '\\' && hostStart != '?' && hostStart != '#';
}

} // namespace

bool IsWebAddress(const std::string& address)
{
    return HasScheme(address, "http") || IsHttpsAddress(address);
}

bool IsHttpsAddress(const std::string& address) { return HasScheme(address, "https"); }

UpdateDecision StartupUpdateDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current)
{
    if (fetchResult != 0 || !info.IsValid())
        return Decision(UpdateOutcome::NoAction);
    if (OlderThan(current, info.minVersion)) {
        // Opened by the desktop at every start for as long as the reply says so: a file:, smb: or
        // script address would have it open whatever a forger chose.
        if (!IsWebAddress(info.versionUrl))
            return Decision(UpdateOutcome::NoAction);
        return Decision(UpdateOutcome::UpdateRequired,
            Format(u"您使用的版本[%s]过低，需要升级后才可以继续使用！", { Ui(current.ToString()) }),
            info.versionUrl);
    }
    if (OlderThan(current, info.newVersion))
        return Decision(UpdateOutcome::UpdateAvailable,
            Format(u"有新版本[%s]-[%s]，请进入主界面后进行软件更新！ ",
                { Ui(info.newVersion), Ui(info.versionName) }),
            info.versionUrl);
    return Decision(UpdateOutcome::NoAction);
}

UpdateDecision ManualCheckDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current)
{
    if (fetchResult != 0 || !info.IsValid())
        return Decision(UpdateOutcome::NoAction);
    if (OlderThan(current, info.minVersion) || OlderThan(current, info.newVersion))
        return Decision(UpdateOutcome::NoAction);
    return Decision(UpdateOutcome::UpToDate, u"当前版本已是最新版本");
}

UpdateDecision DialogCheckDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current)
{
    if (fetchResult != 0)
        return Decision(UpdateOutcome::NoAction);
    if (!info.IsValid())
        return Decision(UpdateOutcome::ServerFailed, u"访问升级服务器失败！");
    const std::u16string pattern = u"有新版本[%s]-[%s]，快快更新啦！ ";
    // The offered address is downloaded: nothing but the web's may be, as after a failed transfer.
    if ((OlderThan(current, info.newVersion) || OlderThan(current, info.version))
        && !IsWebAddress(info.versionUrl))
        return Decision(UpdateOutcome::NoAction);
    if (OlderThan(current, info.newVersion))
        return Decision(UpdateOutcome::UpdateAvailable,
            Format(pattern, { Ui(info.newVersion), Ui(info.versionName) }), info.versionUrl);
    if (OlderThan(current, info.version))
        return Decision(UpdateOutcome::UpdateAvailable,
            Format(pattern, { Ui(info.version), Ui(info.versionName) }), info.versionUrl);
    return Decision(UpdateOutcome::UpToDate, u"您使用的是最新版本！");
}
