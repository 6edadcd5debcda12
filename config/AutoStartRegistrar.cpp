#include "config/AutoStartRegistrar.h"

#include "platform/os/OsLayer.h"

namespace {

constexpr const char kEntryName[] = "Zandrel";

} // namespace

void AutoStartRegistrar::SetAutoStart()
{
    auto& os = platform::os::Os();
    const std::string executable = os.ExecutablePath();
    if (!executable.empty())
        os.WriteAutostartEntry(kEntryName, executable);
}

void AutoStartRegistrar::RemoveAutoStart() { platform::os::Os().RemoveAutostartEntry(kEntryName); }
