#include "browser/ConsoleLog.h"

#include "base/ProgramPaths.h"
#include "browser/StateFolder.h"
#include "platform/os/TextCodec.h"

#include <cstdio>

namespace ConsoleLog {

namespace {

    // A page's CR or LF would start a record of its own making.
    std::string OneLine(const std::u16string& text)
    {
        std::string line = platform::os::Utf16ToUtf8(text);
        for (char& c : line) {
            if (c == '\r' || c == '\n')
                c = ' ';
        }
        return line;
    }

} // namespace

std::string Record(const std::u16string& message, const std::u16string& source, int line)
{
    return "Message: " + OneLine(message) + "\r\nSource: " + OneLine(source)
        + "\r\nLine: " + std::to_string(line) + "\r\n-----------------------\r\n";
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
    // A page that logs without end would fill the disk: past the limit the log starts over,
    // keeping the one before it.
    const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    if (size > 0 && static_cast<unsigned long>(size) + record.size() > kMaxBytes) {
        std::fclose(file);
        std::rename(path.c_str(), (path + ".1").c_str());
        file = std::fopen(path.c_str(), "a");
        if (!file)
            return false;
    }
    const std::string written = record.size() > kMaxBytes ? record.substr(0, kMaxBytes) : record;
    const bool ok = std::fputs(written.c_str(), file) >= 0;
    return std::fclose(file) == 0 && ok;
}

std::string FallbackPath()
{
    const std::string folder = StateFolder();
    return folder.empty() ? std::string() : folder + "/console.log";
}

bool AppendOrFallBack(std::string& path, const std::string& record, const std::string& fallback)
{
    if (Append(path, record))
        return true;
    if (fallback.empty() || fallback == path || !Append(fallback, record))
        return false;
    path = fallback;
    return true;
}

} // namespace ConsoleLog
