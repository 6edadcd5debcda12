#pragma once

#include <string>

namespace platform::os {

/// What the system needs from the operating system, with standard types only.
/// Upper code reaches it through Os(); tests replace it with a fake.
class OsLayer {
public:
    virtual ~OsLayer() = default;

    /// Full path of the running executable, symlinks resolved.
    virtual std::string ExecutablePath() = 0;

    /// Takes the machine-wide marker of a running instance; false when another
    /// live process holds it. The marker vanishes with the process, also after a crash.
    virtual bool AcquireSingleInstanceMarker(const std::string& name) = 0;
};

/// The process-wide OS layer (the real one unless a test replaced it).
OsLayer& Os();

/// Replaces the process-wide OS layer; nullptr restores the real one. For tests.
void SetOsLayer(OsLayer* layer);

} // namespace platform::os
