#include "platform/os/InstallStep.h"
#include "platform/os/linux/LinuxOsLayer.h"

namespace platform::os {

std::string LinuxOsLayer::ExecutablePath() { return ExecutableFilePath(); }

} // namespace platform::os
