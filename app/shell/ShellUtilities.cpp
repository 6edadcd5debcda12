#include "app/shell/ShellUtilities.h"

#include "app/support/SystemErrorText.h"
#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PaintManagerUI.h"

#include <cerrno>

namespace {

bool ReportLaunchFailure(bool reportFailure, int errorCode)
{
    if (reportFailure)
        platform::ui::MessageBoxW(
            nullptr, SystemErrorText(errorCode).Text(), u"错误", platform::ui::MB_ICONINFORMATION);
    return false;
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
    // Elevated programs start in the skin folder, plain ones in the program folder.
    using platform::ui::CPaintManagerUI;
    const std::string directory = platform::os::Utf16ToUtf8(
        elevated ? CPaintManagerUI::GetResourcePath() : CPaintManagerUI::GetInstancePath());
    int error = platform::os::Os().LaunchProcess(program, arguments, directory, elevated);
    if (error != 0)
        return ReportLaunchFailure(reportFailure, error);
    return true;
}

bool LaunchProgram(const std::u16string& programPath, const std::u16string& arguments, bool elevated)
{
    return LaunchCommandLine(u"\"" + programPath + u"\" " + arguments, false, false, elevated);
}

void OpenUrl(const std::u16string& url) { platform::os::Os().OpenUrl(platform::os::Utf16ToUtf8(url)); }

void OpenFolderAndSelect(const std::u16string& path)
{
    platform::os::Os().RevealInFileManager(platform::os::Utf16ToUtf8(path));
}
