#include "base/SystemErrorText.h"

#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"

SystemErrorText::SystemErrorText(int errorCode) { Set(errorCode); }

void SystemErrorText::Set(int errorCode)
{
    text = platform::os::Utf8ToUtf16(platform::os::Os().ErrorText(errorCode));
}

void SystemErrorText::Clear() { text.clear(); }
