#pragma once

#include "platform/engine/CefRefCounted.h"

#include <map>
#include <string>
#include <vector>

namespace platform::engine {

/// A parsed command line: switches are "--name" or "--name=value" (also with one
/// dash); everything after a lone "--" is an argument.
class CefCommandLine : public virtual CefBaseRefCounted {
public:
    /// The browser process's own command line (as main received it).
    static CefRefPtr<CefCommandLine> GetGlobalCommandLine();
    /// Replaces the arguments behind the global command line (the engine's start-up and tests).
    static void InitGlobalCommandLine(const std::vector<std::string>& argv);

    static CefRefPtr<CefCommandLine> CreateCommandLine();
    void InitFromArgv(const std::vector<std::string>& argv);

    bool HasSwitch(const std::string& name) const;
    /// The switch's value, empty when the switch is absent or has no value.
    std::string GetSwitchValue(const std::string& name) const;
    std::vector<std::string> GetArguments() const { return arguments; }
    std::string GetProgram() const { return program; }

private:
    std::string program;
    std::map<std::string, std::string> switches;
    std::vector<std::string> arguments;
    IMPLEMENT_REFCOUNTING(CefCommandLine);
};

} // namespace platform::engine
