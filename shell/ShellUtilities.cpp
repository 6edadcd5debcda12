#include "shell/ShellUtilities.h"

#include "base/SystemErrorText.h"
#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PaintManagerUI.h"

#include <cerrno>
#include <filesystem>

namespace {

bool ReportLaunchFailure(bool reportFailure, int errorCode)
{
    if (reportFailure)
        platform::ui::MessageBoxW(
            nullptr, SystemErrorText(errorCode).Text(), u"错误", platform::ui::MB_ICONINFORMATION);
    return false;
}

// Elevated programs start in the skin folder, plain ones in the program folder.
std::string LaunchDirectory(bool elevated)
{
    using platform::ui::CPaintManagerUI;
    return platform::os::Utf16ToUtf8(
        elevated ? CPaintManagerUI::GetResourcePath() : CPaintManagerUI::GetInstancePath());
}

} // namespace

bool SplitCommandLine(const std::u16string& commandLine, CommandLineParts& parts)
{
    if (commandLine.empty() || commandLine[0] != u'"') {
        size_t space = commandLine.size() > 1 ? commandLine.find(u' ', 1) : std::u16string::npos;
        if (space == std::u16string::npos) {
            parts = { commandLine, {} };
        } else {
            parts = { commandLine.substr(0, space), commandLine.substr(space + 1) };
        }
        return true;
    }
    size_t closing = commandLine.size() > 2 ? commandLine.find(u'"', 2) : std::u16string::npos;
    if (closing == std::u16string::npos)
        return false;
    parts = { commandLine.substr(1, closing - 1), commandLine.substr(closing + 1) };
    return true;
}

std::vector<std::string> SplitParameters(const std::string& parameters)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < parameters.size(); ++i) {
        char c = parameters[i];
        if (c == '\\' && i + 1 < parameters.size() && parameters[i + 1] == '"') {
            word += '"';
            inWord = true;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

bool LaunchCommandLine(
    const std::u16string& commandLine, bool reportFailure, bool waitForInputIdle, bool elevated)
{
    // The desktop has neither an input-idle wait nor a foreground grant to give a child,
    // so waitForInputIdle and the foreground permission have nothing to do here.
    (void)waitForInputIdle;
    CommandLineParts parts;
    if (!SplitCommandLine(commandLine, parts) || parts.program.empty())
        return ReportLaunchFailure(reportFailure, EINVAL);
    const std::string program = platform::os::Utf16ToUtf8(parts.program);
    const std::vector<std::string> arguments = SplitParameters(platform::os::Utf16ToUtf8(parts.parameters));
    int error = platform::os::Os().LaunchProcess(program, arguments, LaunchDirectory(elevated), elevated);
    if (error != 0)
        return ReportLaunchFailure(reportFailure, error);
    return true;
}

// The path goes to the system as it is: joined into a command line and split again, a name with a
// quote in it would choose another program and arguments.
bool LaunchProgram(const std::u16string& programPath, const std::u16string& arguments, bool elevated)
{
    if (programPath.empty())
        return false;
    return platform::os::Os().LaunchProcess(platform::os::Utf16ToUtf8(programPath),
               SplitParameters(platform::os::Utf16ToUtf8(arguments)), LaunchDirectory(elevated), elevated)
        == 0;
}

std::u16string InstallHelperPath()
{
    namespace fs = std::filesystem;
    const fs::path programFolder = fs::path(platform::os::Os().ExecutablePath()).parent_path();
    std::error_code ignored;
    fs::path helper = programFolder / ZANDREL_INSTALL_HELPER;
    if (!fs::is_regular_file(helper, ignored))
        helper = (programFolder / ZANDREL_INSTALL_HELPER_FROM_PROGRAM / ZANDREL_INSTALL_HELPER)
                     .lexically_normal();
    return platform::os::Utf8ToUtf16(helper.string());
}

bool LaunchUpdateInstaller(const std::u16string& installerPath, const std::u16string& signature)
{
    std::vector<std::string> arguments = { platform::os::Utf16ToUtf8(installerPath) };
    if (!signature.empty())
        arguments.push_back(platform::os::Utf16ToUtf8(signature));
    return platform::os::Os().LaunchElevatedProgram(platform::os::Utf16ToUtf8(InstallHelperPath()), arguments)
        == 0;
}

void OpenUrl(const std::u16string& url) { platform::os::Os().OpenUrl(platform::os::Utf16ToUtf8(url)); }

void OpenFolderAndSelect(const std::u16string& path)
{
    platform::os::Os().RevealInFileManager(platform::os::Utf16ToUtf8(path));
}
