#pragma once

#include <string>
#include <vector>

namespace platform::os {

// What the root-side install step needs of the system, as free functions so that it links
// nothing else of this layer.

/// Full path of the running executable, symlinks resolved; empty when unknown.
std::string ExecutableFilePath();

/// The owner of the file at path (not followed if it is a link); -1 when it cannot be read.
long long FileOwner(const std::string& path);

/// True when path is no link, belongs to root or to owner, and neither its group nor others may
/// write it.
bool IsWritableOnlyBy(const std::string& path, long long owner);

/// Copies the regular file at source, opened without following a link, into a new folder that
/// only this process's user can enter, as name with execute permission; at most maxBytes.
/// Returns 0 and the copy's path, or the errno value that stopped it (ELOOP for a link, EINVAL for
/// anything but a regular file, EFBIG for one too large) with nothing left behind.
int CopyIntoPrivateFolder(
    const std::string& source, const std::string& name, long long maxBytes, std::string& copyPath);

/// Removes a copy made by CopyIntoPrivateFolder and its folder.
void RemovePrivateCopy(const std::string& copyPath);

/// Runs command[0] with the rest as its arguments, in the folder of the command's last argument,
/// and waits for it: its exit status, 128 plus the signal that ended it, or 127 when it could not
/// be started.
int RunAndWait(const std::vector<std::string>& command);

} // namespace platform::os
