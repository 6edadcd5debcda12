// Start-up time and memory of the program against the bare engine (and Chromium's app mode
// when it is installed), measured in alternating runs against one local page server.
// Usage: startup [--pairs N] [--program-dir DIR] [--bare PATH] [--chromium PATH] [--opener-column] [--tabs N]
// Needs a display (run it under xvfb-run).
#include "../common/ProcessTree.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace bench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kSettle = std::chrono::seconds(2);
constexpr auto kLoadLimit = std::chrono::seconds(60);

// The page every contender loads; it reports its onload and, in the ten-tab run, opens nine windows.
class PageServer {
public:
    PageServer()
    {
        server.set_keep_alive_max_count(1);
        server.Get("/", [this](const httplib::Request&, httplib::Response& response) {
            Mark(pageAt);
            std::string script = "fetch('/loaded');";
            if (popups > 0)
                script += "for (let i = 0; i < " + std::to_string(popups.load())
                    + "; ++i) window.open('/child');";
            response.set_content("<html><head><title>Lobby</title></head><body onload=\"" + script
                    + "\"><h1>lobby</h1></body></html>",
                "text/html");
        });
        server.Get("/child", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                "<html><head><title>Room</title></head><body onload=\"fetch('/loaded')\">room</body></html>",
                "text/html");
        });
        server.Get("/loaded", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard<std::mutex> guard(lock);
            if (loaded++ == 0)
                firstLoad = Clock::now();
            changed.notify_all();
            response.set_content("", "text/plain");
        });
        server.Get("/update", [this](const httplib::Request&, httplib::Response& response) {
            Mark(updateAt);
            response.set_content(R"({"result":"0","version":"1.0.0.0","new_version":"1.0.0.0",)"
                                 R"("min_version":"1.0.0.0","version_name":"n","version_url":""})",
                "application/json");
        });
        server.Post("/brivo/miniclient/startRecord.action",
            [this](const httplib::Request&, httplib::Response& response) {
                Mark(noticeAt);
                response.set_content("{}", "text/plain");
            });
        server.Get("/favicon.ico",
            [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }

    ~PageServer()
    {
        server.stop();
        thread.join();
    }

    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }

    void Reset(int popupCount)
    {
        std::lock_guard<std::mutex> guard(lock);
        loaded = 0;
        popups = popupCount;
        updateAt = noticeAt = pageAt = Clock::time_point();
    }

    // When the program's update request and start-up notice arrived (zero when they did not).
    std::pair<Clock::time_point, Clock::time_point> ProgramRequests()
    {
        std::lock_guard<std::mutex> guard(lock);
        return { updateAt, noticeAt };
    }

    // When the last request for the first page arrived.
    Clock::time_point PageRequested()
    {
        std::lock_guard<std::mutex> guard(lock);
        return pageAt;
    }

    // Waits until `count` pages have loaded; gives the time of the first load.
    bool WaitLoaded(int count, Clock::time_point& first)
    {
        std::unique_lock<std::mutex> guard(lock);
        bool done = changed.wait_for(guard, kLoadLimit, [&] { return loaded >= count; });
        first = firstLoad;
        return done;
    }

private:
    void Mark(Clock::time_point& at)
    {
        std::lock_guard<std::mutex> guard(lock);
        at = Clock::now();
    }

    httplib::Server server;
    std::thread thread;
    int port = 0;
    std::atomic<int> popups { 0 };
    std::mutex lock;
    std::condition_variable changed;
    int loaded = 0;
    Clock::time_point firstLoad;
    Clock::time_point updateAt;
    Clock::time_point noticeAt;
    Clock::time_point pageAt;
};

double MsBetween(Clock::time_point from, Clock::time_point to)
{
    return to == Clock::time_point() ? 0 : std::chrono::duration<double, std::milli>(to - from).count();
}

struct Sample {
    double startMs = 0;
    double updateMs = 0;
    double noticeMs = 0;
    double pageMs = 0;
    double pssMiB = 0;
    int processes = 0;
};

struct Contender {
    std::string name;
    std::function<std::vector<std::string>(const fs::path& scratch)> command;
};

bool RunOnce(PageServer& server, const Contender& contender, int tabs,
    const std::vector<std::string>& environment, Sample& sample)
{
    fs::path scratch = fs::temp_directory_path() / ("zandrel-startup-" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "home");
    std::vector<std::string> env = environment;
    env.push_back("HOME=" + (scratch / "home").string());
    env.push_back("XDG_CACHE_HOME=" + (scratch / "home/cache").string());
    env.push_back("XDG_CONFIG_HOME=" + (scratch / "home/config").string());
    env.push_back("XDG_DATA_HOME=" + (scratch / "home/data").string());
    std::vector<std::string> command = contender.command(scratch);

    // Whatever the previous run left to write back is written before the clock starts.
    ::sync();
    server.Reset(tabs - 1);
    const Clock::time_point start = Clock::now();
    pid_t pid = Launch(command, env);
    if (pid < 0)
        return false;
    Clock::time_point first;
    bool loaded = server.WaitLoaded(tabs, first);
    if (loaded) {
        std::this_thread::sleep_for(kSettle);
        std::vector<pid_t> tree = Descendants(pid);
        sample.startMs = MsBetween(start, first);
        auto [updateAt, noticeAt] = server.ProgramRequests();
        sample.updateMs = MsBetween(start, updateAt);
        sample.noticeMs = MsBetween(start, noticeAt);
        sample.pageMs = MsBetween(start, server.PageRequested());
        sample.pssMiB = PssMiB(tree);
        sample.processes = static_cast<int>(tree.size());
    }
    EndTree(pid);
    fs::remove_all(scratch);
    return loaded;
}

} // namespace

int main(int argc, char** argv)
{
    const int pairs = std::max(1, std::stoi(Option(argc, argv, "--pairs", "5")));
    const fs::path programDir = Option(argc, argv, "--program-dir", ZANDREL_PROGRAM_DIR);
    const std::string bare = Option(argc, argv, "--bare", ZANDREL_BARE_VIEW);
    std::string chromium = Option(argc, argv, "--chromium", "/usr/bin/chromium");
    if (!fs::exists(chromium))
        chromium.clear();
    if (!getenv("DISPLAY")) {
        std::fprintf(stderr, "startup: needs a display; run it under xvfb-run\n");
        return 2;
    }

    PageServer server;
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    environment.push_back("QTWEBENGINE_DISABLE_SANDBOX=1");

    // The program folder is laid out once, so that no run starts while its copy is being written back.
    const fs::path folder
        = fs::temp_directory_path() / ("zandrel-startup-program-" + std::to_string(::getpid()));
    LayOutProgramFolder(programDir, folder, server.Url(""));

    // The bare engine's window gets the main window's size, so both draw as many pixels.
    const std::string size = MainWindowSize(programDir / "skin/Zandrel/main.xml");
    std::vector<Contender> contenders;
    contenders.push_back({ "A zandrel",
        [&](const fs::path&) { return std::vector<std::string> { (folder / "zandrel").string() }; } });
    // The bare view with the given switches, at the main window's size, on the lobby.
    auto bareView = [&](std::vector<std::string> switches) {
        return [&, switches](const fs::path&) {
            std::vector<std::string> command { bare };
            command.insert(command.end(), switches.begin(), switches.end());
            command.insert(command.end(), { "--size", size, server.Url("/?miniClient=1") });
            return command;
        };
    };
    contenders.push_back({ "B bare engine", bareView({}) });
    // The program draws pages without OpenGL where OpenGL is a software rasterizer (as under
    // Xvfb); the bare engine drawn the same way shows what that choice is worth on its own.
    contenders.push_back({ "Bs bare, software", bareView({ "--software" }) });
    // The engine's own popup handling keeps a popup in its opener's renderer; the program
    // cannot, as its tabs are independent browsers. Shown on request, for comparison.
    if (Flag(argc, argv, "--opener-column"))
        contenders.push_back({ "B' bare, opener", bareView({ "--opener" }) });
    if (!chromium.empty())
        contenders.push_back({ "C chromium --app", [&](const fs::path& scratch) {
                                  return std::vector<std::string> { chromium,
                                      "--app=" + server.Url("/?miniClient=1"),
                                      "--user-data-dir=" + (scratch / "profile").string(), "--no-sandbox",
                                      "--disable-background-networking", "--disable-component-update",
                                      "--no-first-run", "--disable-sync", "--disable-popup-blocking",
                                      "--no-default-browser-check", "--password-store=basic" };
                              } });

    std::printf("%d pairs per column, %zu contenders, settle %llds after the last load\n", pairs,
        contenders.size(), static_cast<long long>(kSettle.count()));
    std::map<std::string, double> oneTabMemory;
    std::vector<int> tabCounts { 1, 10 };
    const std::string onlyTabs = Option(argc, argv, "--tabs", "");
    if (!onlyTabs.empty())
        tabCounts = { std::stoi(onlyTabs) };
    for (int tabs : tabCounts) {
        std::map<std::string, std::vector<double>> times, memory, updates, notices, pages;
        std::map<std::string, int> processes;
        // One warm-up each (page cache, fonts), then the measured turns in alternation.
        for (int round = -1; round < pairs; ++round) {
            for (const Contender& contender : contenders) {
                Sample sample;
                if (!RunOnce(server, contender, tabs, environment, sample)) {
                    std::fprintf(stderr, "%s: no load within the limit\n", contender.name.c_str());
                    continue;
                }
                if (round < 0)
                    continue;
                times[contender.name].push_back(sample.startMs);
                memory[contender.name].push_back(sample.pssMiB);
                updates[contender.name].push_back(sample.updateMs);
                notices[contender.name].push_back(sample.noticeMs);
                pages[contender.name].push_back(sample.pageMs);
                processes[contender.name] = sample.processes;
            }
        }
        std::printf("\n%d tab(s)          start->onload ms   PSS MiB   processes   MiB per extra tab   "
                    "(start->page request ms)\n",
            tabs);
        for (const Contender& contender : contenders) {
            const double pss = Median(memory[contender.name]);
            if (tabs == 1)
                oneTabMemory[contender.name] = pss;
            std::printf("%-18s %12.0f %11.1f %9d", contender.name.c_str(), Median(times[contender.name]), pss,
                processes[contender.name]);
            if (tabs > 1)
                std::printf(" %15.1f", (pss - oneTabMemory[contender.name]) / (tabs - 1));
            else
                std::printf(" %15s", "");
            std::printf("   (%.0f)\n", Median(pages[contender.name]));
        }
        const std::string a = contenders[0].name, b = contenders[1].name;
        std::printf("A's update request at %.0f ms, start-up notice at %.0f ms\n", Median(updates[a]),
            Median(notices[a]));
        if (!times[b].empty() && Median(times[b]) > 0)
            std::printf("A/B               %12.2f %11.2f\n", Median(times[a]) / Median(times[b]),
                Median(memory[a]) / Median(memory[b]));
        const std::string s = contenders[2].name;
        if (!times[s].empty() && Median(times[s]) > 0)
            std::printf("A/Bs              %12.2f %11.2f\n", Median(times[a]) / Median(times[s]),
                Median(memory[a]) / Median(memory[s]));
        const std::string c = contenders.back().name;
        if (c[0] == 'C' && !times[c].empty())
            std::printf("A/C               %12.2f %11.2f\n", Median(times[a]) / Median(times[c]),
                Median(memory[a]) / Median(memory[c]));
        std::fflush(stdout);
    }
    fs::remove_all(folder);
    return 0;
}
