#include "fakes/os/FakeOsLayer.h"

bool FakeOsLayer::AcquireSingleInstanceMarker(const std::string& name)
{
    markers.push_back(name);
    return markerFree;
}

int FakeOsLayer::LaunchProcess(const std::string& program, const std::vector<std::string>& arguments,
    const std::string& workingDirectory, bool elevated)
{
    launches.push_back({ program, arguments, workingDirectory, elevated });
    return launchResult;
}

int FakeOsLayer::LaunchElevatedProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    launches.push_back({ program, arguments, {}, true });
    return launchResult;
}

bool FakeOsLayer::SetClipboardText(const std::string& text)
{
    if (!clipboardAvailable)
        return false;
    clipboardText = text;
    return true;
}

bool FakeOsLayer::WriteAutostartEntry(
    const std::string& entryName, const std::string& executablePath, const std::string&, const std::string&)
{
    if (!autostartWritable)
        return false;
    autostartEntries[entryName] = executablePath;
    return true;
}

bool FakeOsLayer::RemoveAutostartEntry(const std::string& entryName)
{
    if (!autostartWritable)
        return false;
    autostartEntries.erase(entryName);
    return true;
}
