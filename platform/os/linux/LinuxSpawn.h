#pragma once

#include <string>
#include <vector>

namespace platform::os {

// Full path of program: as given when it names a path, else its first executable
// match in PATH; empty when there is none.
std::string FindExecutable(const std::string& program);

// Starts argv[0] with the rest of argv in workingDirectory (unchanged when empty),
// detached in a session of its own, with the client's environment minus the engine's
// private variables. Returns 0 once the program runs, else the errno of the failure.
int SpawnDetached(const std::vector<std::string>& argv, const std::string& workingDirectory);

} // namespace platform::os
