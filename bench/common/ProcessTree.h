// What the benchmarks share: starting a contender, finding and measuring its process tree,
// laying out a program folder, and reading options.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace bench {

// The process and all its descendants, the process first.
std::vector<pid_t> Descendants(pid_t root);
// The sum of Pss over the tree, in MiB.
double PssMiB(const std::vector<pid_t>& tree);
struct ProcessMemory {
    std::string kind; // the engine's --type= (renderer, zygote, ...) or the command's name
    double pssMiB = 0;
    // What the process wrote and holds alone (heap, stacks): other processes mapping the same
    // libraries move Pss and even Private_Clean, never this.
    double privateDirtyMiB = 0;
};
// Pss and private dirty memory of each process of the tree.
std::vector<ProcessMemory> MemoryByProcess(const std::vector<pid_t>& tree);
// User plus system CPU time the tree's live processes have used, in seconds.
double CpuSeconds(const std::vector<pid_t>& tree);
// The same per thread, summed over threads of one name ("process name/thread name").
std::map<std::string, double> CpuSecondsByThread(const std::vector<pid_t>& tree);
// Starts the program with no input and its output discarded; -1 when it cannot be started.
pid_t Launch(const std::vector<std::string>& arguments, const std::vector<std::string>& environment);
// Ends the whole tree, helpers first, and reaps the process that was started.
void EndTree(pid_t root);

double Median(std::vector<double> values);
// The value after `name` on the command line, or `fallback`.
std::string Option(int argc, char** argv, const std::string& name, const std::string& fallback);
bool Flag(int argc, char** argv, const std::string& name);
// The size="W,H" of the main window's layout, as "W,H".
std::string MainWindowSize(const std::filesystem::path& layout);
// A fresh program folder whose config points the site and the update check at `siteUrl`;
// with closeToTray, the close button hides the window to the tray instead of ending the program.
void LayOutProgramFolder(const std::filesystem::path& programDir, const std::filesystem::path& folder,
    const std::string& siteUrl, bool closeToTray = false);

} // namespace bench
