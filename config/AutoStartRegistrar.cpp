#include "config/AutoStartRegistrar.h"

#include "platform/os/OsLayer.h"

namespace {

constexpr const char kEntryName[] = "Zandrel";
// The same name and icon as the installed desktop entry, so the session lists one program.
constexpr const char kDisplayName[] = "Tessik微端";
constexpr const char kIconName[] = "zandrel";

} // namespace

void AutoStartRegistrar::SetAutoStart()
{
    auto& os = platform::os::Os();
    const std::string executable = os.ExecutablePath();
    if (!executable.empty())
        os.WriteAutostartEntry(kEntryName, executable, kDisplayName, kIconName);
}

void AutoStartRegistrar::RemoveAutoStart() { platform::os::Os().RemoveAutostartEntry(kEntryName); }
