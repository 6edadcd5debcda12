#include "ProcessTree.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace bench {

namespace {
    // The fields of /proc/PID/stat after the command name, which may contain spaces.
    std::vector<std::string> StatFields(const fs::path& process)
    {
        std::ifstream stat(process / "stat");
        std::string line;
        std::getline(stat, line);
        size_t close = line.rfind(')');
        if (close == std::string::npos || close + 2 > line.size())
            return {};
        std::istringstream stream(line.substr(close + 2));
        std::vector<std::string> fields;
        for (std::string field; stream >> field;)
            fields.push_back(field);
        return fields;
    }

    // utime plus stime of a process or thread folder.
    double CpuSecondsOf(const fs::path& folder)
    {
        // utime and stime are the 14th and 15th fields; the list starts at the 3rd (state).
        constexpr size_t kUtime = 11, kStime = 12;
        std::vector<std::string> fields = StatFields(folder);
        if (fields.size() <= kStime)
            return 0;
        return (std::stod(fields[kUtime]) + std::stod(fields[kStime]))
            / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }

    std::string Comm(const fs::path& folder)
    {
        std::ifstream comm(folder / "comm");
        std::string name;
        std::getline(comm, name);
        return name;
    }
}

std::vector<pid_t> Descendants(pid_t root)
{
    std::multimap<pid_t, pid_t> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::vector<std::string> fields = StatFields(entry.path());
        if (fields.size() < 2)
            continue;
        children.emplace(static_cast<pid_t>(std::stoi(fields[1])), static_cast<pid_t>(std::stoi(name)));
    }
    std::vector<pid_t> tree { root };
    for (size_t i = 0; i < tree.size(); ++i) {
        auto range = children.equal_range(tree[i]);
        for (auto it = range.first; it != range.second; ++it)
            tree.push_back(it->second);
    }
    return tree;
}

double PssMiB(const std::vector<pid_t>& tree)
{
    long kib = 0;
    for (pid_t pid : tree) {
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        std::string line;
        while (std::getline(rollup, line))
            if (line.compare(0, 4, "Pss:") == 0)
                kib += std::stol(line.substr(4));
    }
    return kib / 1024.0;
}

std::vector<ProcessMemory> MemoryByProcess(const std::vector<pid_t>& tree)
{
    std::vector<ProcessMemory> processes;
    std::map<pid_t, std::string> kinds;
    for (pid_t pid : tree) {
        const fs::path process = fs::path("/proc") / std::to_string(pid);
        ProcessMemory memory;
        memory.kind = Comm(process);
        std::ifstream cmdline(process / "cmdline");
        for (std::string argument; std::getline(cmdline, argument, '\0');)
            if (argument.rfind("--type=", 0) == 0)
                memory.kind = argument.substr(7);
        // Renderers are forked from the zygote without a command line of their own.
        std::vector<std::string> fields = StatFields(process);
        if (memory.kind == "zygote" && fields.size() > 1 && kinds[std::stoi(fields[1])] == "zygote")
            memory.kind = "renderer";
        kinds[pid] = memory.kind;
        std::ifstream rollup(process / "smaps_rollup");
        long pss = 0, own = 0;
        for (std::string line; std::getline(rollup, line);) {
            if (line.compare(0, 4, "Pss:") == 0)
                pss += std::stol(line.substr(4));
            else if (line.compare(0, 14, "Private_Dirty:") == 0)
                own += std::stol(line.substr(14));
        }
        memory.pssMiB = pss / 1024.0;
        memory.privateDirtyMiB = own / 1024.0;
        processes.push_back(memory);
    }
    return processes;
}

double CpuSeconds(const std::vector<pid_t>& tree)
{
    double seconds = 0;
    for (pid_t pid : tree)
        seconds += CpuSecondsOf(fs::path("/proc") / std::to_string(pid));
    return seconds;
}

std::map<std::string, double> CpuSecondsByThread(const std::vector<pid_t>& tree)
{
    std::map<std::string, double> threads;
    for (pid_t pid : tree) {
        const fs::path process = fs::path("/proc") / std::to_string(pid);
        const std::string processName = Comm(process);
        std::error_code error;
        for (fs::directory_iterator it(process / "task", error), end; !error && it != end;
             it.increment(error))
            threads[processName + "/" + Comm(it->path())] += CpuSecondsOf(it->path());
    }
    return threads;
}

pid_t Launch(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // A contender or tool that reads a terminal from the background would be stopped by SIGTTIN
    // and wait for ever.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

void EndTree(pid_t root)
{
    std::vector<pid_t> tree = Descendants(root);
    for (auto it = tree.rbegin(); it != tree.rend(); ++it)
        ::kill(*it, SIGKILL);
    ::waitpid(root, nullptr, 0);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Option(int argc, char** argv, const std::string& name, const std::string& fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name)
            return argv[i + 1];
    return fallback;
}

bool Flag(int argc, char** argv, const std::string& name)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i] == name)
            return true;
    return false;
}

std::string MainWindowSize(const fs::path& layout)
{
    std::ifstream file(layout);
    std::stringstream text;
    text << file.rdbuf();
    const std::string content = text.str();
    const std::string key = "size=\"";
    size_t begin = content.find(key);
    if (begin == std::string::npos)
        return "1000,700";
    begin += key.size();
    return content.substr(begin, content.find('"', begin) - begin);
}

void LayOutProgramFolder(
    const fs::path& programDir, const fs::path& folder, const std::string& siteUrl, bool closeToTray)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(programDir / "zandrel", folder / "zandrel");
    fs::create_directory_symlink(fs::canonical(programDir / "skin"), folder / "skin");
    std::ofstream(folder / "config.xml")
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<config><Channel/><Update url=\"" << siteUrl
        << "/update\"/><Notify optionexit=\"" << (closeToTray ? 1 : 0) << "\"/><Account/><Site url=\""
        << siteUrl << "\"/></config>\n";
    // Written back now, so that no run starts while its copy is being written.
    ::sync();
}

} // namespace bench
