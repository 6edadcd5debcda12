#pragma once

#include <string>

// Puts bytes into the file at path, following a symbolic link to its target. Returns 0, or
// the errno value of the step that failed. Where the folder allows it, the bytes go to a
// temporary file that then replaces the old one (a crash or a full disk leaves the old file
// whole), with the old file's owner and mode. A file with several names, a folder that
// takes no new file, or an owner this process cannot give is written in place instead.
int WriteFileBytes(const std::string& path, const std::string& bytes);
