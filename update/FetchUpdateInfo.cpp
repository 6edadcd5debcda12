#include "update/UpdateCheck.h"

#include "config/AppConfig.h"
#include "platform/os/TextCodec.h"

// Kept apart from the rest of the check so that the reply reader links without the configuration.
int FetchUpdateInfo(UpdateInfo& info)
{
    return FetchUpdateInfo(info, platform::os::Utf16ToUtf8(AppConfig::Instance().updateUrl));
}
