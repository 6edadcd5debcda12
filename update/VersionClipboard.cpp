#include "update/VersionClipboard.h"

#include "base/BuildIdentity.h"
#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"
#include "update/VersionNumber.h"

void CopyVersionInfoToClipboard()
{
    const std::string text = " version " + CurrentVersion().ToString() + "  internalVer "
        + platform::os::Utf16ToUtf8(InternalVersionText) + " \r\n";
    platform::os::Os().SetClipboardText(text);
}
