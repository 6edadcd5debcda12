#include "update/UpdateCheck.h"

#include "config/AppConfig.h"
#include "config/UpdateKey.h"
#include "platform/os/TextCodec.h"
#include "update/HttpClient.h"
#include "update/InstallerSignature.h"

// Kept apart from the decisions so that the reply reader links without the configuration.

namespace {

constexpr long kCheckTimeoutSeconds = 10;

} // namespace

int FetchUpdateInfo(UpdateInfo& info, const std::string& updateUrl, const std::string& updateKey)
{
    std::string reply;
    std::string signature;
    HttpClient client;
    const int result = client.Get(updateUrl, &reply, kCheckTimeoutSeconds, kReplySignatureHeader, &signature);
    if (result != 0)
        return result;
    // Unsigned, the reply could still demand an update or offer a download in the key owner's name.
    if (!updateKey.empty() && !SignatureIsValid(updateKey, signature, reply))
        return kReplyNotSigned;
    info.FromUtf8Text(reply);
    return 0;
}

int FetchUpdateInfo(UpdateInfo& info, const std::string& updateUrl)
{
    return FetchUpdateInfo(info, updateUrl, InstallationUpdateKey());
}

int FetchUpdateInfo(UpdateInfo& info)
{
    return FetchUpdateInfo(info, platform::os::Utf16ToUtf8(AppConfig::Instance().updateUrl));
}
