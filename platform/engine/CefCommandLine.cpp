#include "platform/engine/CefCommandLine.h"

#include <mutex>

namespace platform::engine {

namespace {
    std::mutex globalLock;
    std::vector<std::string> globalArgv;
}

CefRefPtr<CefCommandLine> CefCommandLine::GetGlobalCommandLine()
{
    std::vector<std::string> argv;
    {
        std::lock_guard<std::mutex> lock(globalLock);
        argv = globalArgv;
    }
    auto commandLine = CreateCommandLine();
    commandLine->InitFromArgv(argv);
    return commandLine;
}

void CefCommandLine::InitGlobalCommandLine(const std::vector<std::string>& argv)
{
    std::lock_guard<std::mutex> lock(globalLock);
    globalArgv = argv;
}

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() { return new CefCommandLine; }

void CefCommandLine::InitFromArgv(const std::vector<std::string>& argv)
{
    program.clear();
    switches.clear();
    arguments.clear();
    if (argv.empty())
        return;
    program = argv.front();
    bool switchesEnded = false;
    for (size_t i = 1; i < argv.size(); ++i) {
        const std::string& item = argv[i];
        if (switchesEnded || item.size() < 2 || item[0] != '-') {
            arguments.push_back(item);
            continue;
        }
        if (item == "--") {
            switchesEnded = true;
            continue;
        }
        const size_t nameStart = item.compare(0, 2, "--") == 0 ? 2 : 1;
        const size_t equals = item.find('=', nameStart);
        std::string name
            = item.substr(nameStart, equals == std::string::npos ? std::string::npos : equals - nameStart);
        if (name.empty()) {
            arguments.push_back(item);
            continue;
        }
        switches[name] = equals == std::string::npos ? std::string() : item.substr(equals + 1);
    }
}

bool CefCommandLine::HasSwitch(const std::string& name) const { return switches.count(name) != 0; }

std::string CefCommandLine::GetSwitchValue(const std::string& name) const
{
    auto it = switches.find(name);
    return it == switches.end() ? std::string() : it->second;
}

} // namespace platform::engine
