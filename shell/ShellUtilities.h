#pragma once

#include <string>
#include <vector>

// Program, URL and file-manager launches on behalf of the windows; caller's thread.

// The program and parameter parts of a command line. A quoted program keeps the
// text after its closing quote as parameters, the separating space included.
struct CommandLineParts {
    std::u16string program;
    std::u16string parameters;
};

// False for a command line that opens a quote and never closes it.
bool SplitCommandLine(const std::u16string& commandLine, CommandLineParts& parts);
// The words of a parameter text: blank-separated, double quotes group and are removed, \" is a quote.
std::vector<std::string> SplitParameters(const std::string& parameters);

// Starts the command line's program detached: in the program folder, or through the
// desktop's elevation in the skin folder. With reportFailure a failure is shown in a
// message box. waitForInputIdle has no counterpart on this desktop and is ignored.
bool LaunchCommandLine(
    const std::u16string& commandLine, bool reportFailure, bool waitForInputIdle, bool elevated);
// Starts programPath as LaunchCommandLine does, with the words of arguments, silent and without
// waiting; the path is taken whole, whatever characters it holds.
bool LaunchProgram(const std::u16string& programPath, const std::u16string& arguments, bool elevated);
// The root-side install helper: beside the executable where the program runs from its build
// folder, else in the installation's libexec folder.
std::u16string InstallHelperPath();
// Hands a downloaded installer (and the update server's signature over it, when there is one) to
// the install helper as root; the helper checks its own copy before running it. False when the
// helper cannot be started or the user declines the password prompt.
bool LaunchUpdateInstaller(const std::u16string& installerPath, const std::u16string& signature);
// Hands a URL or document to the desktop's opener; reports nothing.
void OpenUrl(const std::u16string& url);
// Shows the file selected in the file manager (or its folder); reports nothing.
void OpenFolderAndSelect(const std::u16string& path);
