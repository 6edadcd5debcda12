#pragma once

#include <cstddef>
#include <string>

// The page console's log file, "console.log" in the program's folder, or in the per-user state
// folder when that cannot be written. Engine UI thread.
namespace ConsoleLog {

// "Message: ...\r\nSource: ...\r\nLine: ...\r\n" and a line of 23 hyphens; CR and LF inside
// the message and the source become spaces.
std::string Record(const std::u16string& message, const std::u16string& source, int line);

// The log's path in the program's folder.
std::string DefaultPath();

// The size at which the log is renamed to "console.log.1" (replacing an older one) and started anew.
constexpr size_t kMaxBytes = size_t(10) * 1024 * 1024;

// Appends the record, opening and closing the file; false when it cannot be written.
bool Append(const std::string& path, const std::string& record);

// The log in the per-user state folder, for an installed program whose folder cannot be
// written; empty when there is no such folder.
std::string FallbackPath();

// Appends to path, or, when that cannot be written, to fallback's path, which path then becomes
// (the log stays there for the run); false when neither takes the record.
bool AppendOrFallBack(
    std::string& path, const std::string& record, const std::string& fallback = FallbackPath());

} // namespace ConsoleLog
