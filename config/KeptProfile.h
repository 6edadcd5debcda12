#pragma once

#include <string>

class AppConfig;

// Whether the installation keeps the engine's profile (logins, cookies, local storage) from
// one start to the next: <Profile persistent="1"/>, read from the installation's own
// config.xml in the program folder and never from the user's copy, like the update key: the
// choice belongs to whoever set the program up. Any other value, or no element, keeps the
// profile in memory.
bool InstallationKeepsProfile(const AppConfig& config);
bool InstallationKeepsProfile();

// Where a kept profile lives: <user data folder>/zandrel/profile; empty without a data folder.
std::string KeptProfileFolder();
