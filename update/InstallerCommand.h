#pragma once

#include <string>
#include <vector>

// What the root-side install step runs for its verified copy of an installer: a Debian package
// (what the program's own package offers as its update) goes to apt-get, which installs it with
// its dependencies and without a terminal to ask on; anything else is run itself.
std::vector<std::string> InstallerCommand(const std::string& copy);

// True when the file at path starts as a Debian package does: an ar archive whose first member
// is "debian-binary".
bool IsDebianPackage(const std::string& path);
