#pragma once

#include <cstdio>
#include <string>

namespace platform::os {

/// Flushes the stream's buffer and asks the system to put the file's data on disk.
/// False (errno set) when either step fails.
bool FlushFileToDisk(std::FILE* file);

/// Gives the open file the owner, group and mode of the file at fromPath; true without
/// change when there is no such file. False (errno set) when the system refuses.
bool CopyOwnerAndMode(const std::string& fromPath, std::FILE* to);

/// True when the file at path has more than one name (hard links).
bool HasSeveralNames(const std::string& path);

} // namespace platform::os
