#pragma once

#include <optional>
#include <string>

// The installer's local name (UTF-8): the text of its address after the last "/" or "\",
// percent-decoded, when that is a plain name; nothing otherwise. The name comes from the update
// server's reply and ends up in a path that a root process opens, so it is held to what the
// desktop the update path was made for accepts in a file name.
std::optional<std::string> InstallerFileName(const std::string& address);

// A plain name: valid UTF-8 of 1 to 128 bytes without / \ " < > | : * ?, without control
// characters, not "." or "..", and not starting with a dot or a dash.
bool IsPlainInstallerName(const std::string& name);
