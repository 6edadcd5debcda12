#pragma once

#include <cstdio>

namespace platform::os {

/// Flushes the stream's buffer and asks the system to put the file's data on disk.
/// False (errno set) when either step fails.
bool FlushFileToDisk(std::FILE* file);

} // namespace platform::os
