#pragma once

#include <functional>
#include <string>

namespace platform::engine {

/// Asks the user where a download goes, proposing a path; empty when the user cancels.
using SaveLocationChooser = std::function<std::string(const std::string& proposedPath)>;

/// Replaces the desktop's save dialog (an empty function restores it). For tests.
void SetSaveLocationChooser(SaveLocationChooser chooser);

} // namespace platform::engine
