#pragma once

#include <cstddef>
#include <string>

// The page console's log file, "console.log" in the program's folder. Engine UI thread.
namespace ConsoleLog {

// "Message: ...\r\nSource: ...\r\nLine: ...\r\n" and a line of 23 hyphens; CR and LF inside
// the message and the source become spaces.
std::string Record(const std::u16string& message, const std::u16string& source, int line);

// The log's path in the program's folder.
std::string DefaultPath();

// The size at which the log is renamed to "console.log.1" (replacing an older one) and started anew.
constexpr size_t kMaxBytes = 10 * 1024 * 1024;

// Appends the record, opening and closing the file; false when it cannot be written.
bool Append(const std::string& path, const std::string& record);

} // namespace ConsoleLog
