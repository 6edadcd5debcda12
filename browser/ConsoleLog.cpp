#include "browser/ConsoleLog.h"

#include "app/support/ProgramPaths.h"
#include "platform/os/TextCodec.h"

#include <cstdio>

namespace ConsoleLog {

std::string Record(const std::u16string& message, const std::u16string& source, int line)
{
    return "Message: " + platform::os::Utf16ToUtf8(message)
        + "\r\nSource: " + platform::os::Utf16ToUtf8(source) + "\r\nLine: " + std::to_string(line)
        + "\r\n-----------------------\r\n";
}

std::string DefaultPath()
{
    // The folder already ends in its separator; another one would be part of the name here.
    return ProgramDirectoryA() + "console.log";
}

bool Append(const std::string& path, const std::string& record)
{
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file)
        return false;
    const bool written = std::fputs(record.c_str(), file) >= 0;
    return std::fclose(file) == 0 && written;
}

} // namespace ConsoleLog
