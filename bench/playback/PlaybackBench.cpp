// What watching a stream costs: CPU of the whole process tree, frames shown and dropped, for the
// program against the bare engine (OpenGL and software) and Chromium's app mode, in turns.
// Usage: playback [--turns N] [--window SECONDS] [--clips 720p30,1080p30,1080p60] [--minimised] [--threads]
//                 [--tray] [--soak MINUTES] [--only NAME-PREFIX] [--program-dir DIR] [--bare PATH]
//                 [--chromium PATH] [--variant 'LABEL:SETTING[;SETTING...]']...
// A variant is the program again with settings of its own, measured in the same turns: `width=CSS`
// draws the video that wide ("auto": at the frame's own size), NAME=VALUE sets an environment
// variable (QTWEBENGINE_CHROMIUM_FLAGS, QSG_..., QT_...).
// Needs a display (run it under xvfb-run) and ffmpeg; --minimised also a window manager. --tray
// (the program alone) hides its window to a notification area the benchmark provides.
#include "../common/ProcessTree.h"
#include "../common/Progress.h"
#include "PlaybackServer.h"
#include "TrayHost.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;
using namespace bench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kPlayLimit = std::chrono::seconds(60);
constexpr auto kAnswerLimit = std::chrono::seconds(20);
// Start-up, the first decoder and raster work and the window's first paints are over by then.
constexpr auto kSteady = std::chrono::seconds(5);
// A 1080p60 clip takes ffmpeg half a minute on an idle core and several on a loaded machine.
constexpr auto kClipLimit = std::chrono::minutes(15);

struct Clip {
    std::string name;
    int width = 0;
    int height = 0;
    int fps = 0;
};

// False when the command fails or is still running after `limit` (it is ended then).
bool RunToEnd(const std::vector<std::string>& command, std::chrono::seconds limit = std::chrono::seconds(60))
{
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    const pid_t pid = Launch(command, environment);
    if (pid <= 0)
        return false;
    const auto deadline = Clock::now() + limit;
    int status = 0;
    pid_t ended = 0;
    while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (ended == 0) {
        std::fprintf(stderr, "playback: %s did not end within %llds; ended it\n", command.front().c_str(),
            static_cast<long long>(limit.count()));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return false;
    }
    return ended == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Twelve seconds of moving test picture and a tone, H.264 High and AAC in MP4, as streams are sent.
std::string MakeClip(const Clip& clip, const fs::path& folder)
{
    const fs::path file = folder / (clip.name + ".mp4");
    const std::string size = std::to_string(clip.width) + "x" + std::to_string(clip.height);
    if (!RunToEnd({ "/usr/bin/ffmpeg", "-nostdin", "-y", "-loglevel", "error", "-f", "lavfi", "-i",
                      "testsrc2=size=" + size + ":rate=" + std::to_string(clip.fps), "-f", "lavfi", "-i",
                      "sine=frequency=440:sample_rate=48000", "-t", "12", "-c:v", "libx264", "-profile:v",
                      "high", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-g",
                      std::to_string(clip.fps * 2), "-b:v", clip.height >= 1080 ? "5M" : "3M", "-c:a", "aac",
                      "-b:a", "128k", "-movflags", "+faststart", file.string() },
            kClipLimit))
        return {};
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Asks the window manager to minimise the contender's windows. The empty pattern matches every
// window of the process; without one, xdotool would take the next command's name as the pattern.
void MinimiseWindows(pid_t root)
{
    for (pid_t pid : Descendants(root))
        RunToEnd({ "/usr/bin/xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid), "",
            "windowminimize", "%@" });
}

// Clicks the close button at the right end of the main window's caption, which hides the window
// to the tray when the program is set to; the button is 40 pixels wide and the caption 44 high.
void HideToTray(pid_t pid, int windowWidth)
{
    RunToEnd({ "/usr/bin/xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid), "--name",
        "Tessik", "mousemove", "--window", "%1", std::to_string(windowWidth - 20), "22", "click", "1" });
}

struct Measure {
    double cpuPercent = 0;
    double shownPerSecond = 0;
    double presentedPerSecond = 0;
    long dropped = 0;
    double pssMiB = 0;
    // The page said it was hidden at the end of the window.
    bool hidden = false;
    long drawnWidth = 0;
    long frameWidth = 0;
    // The busiest threads, by their share of a core.
    std::vector<std::pair<double, std::string>> threads;
};

struct Point {
    PlaybackQuality quality;
    double cpuSeconds = 0;
    std::map<std::string, double> threads;
    Clock::time_point at;
};

bool Take(PlaybackServer& server, pid_t pid, Point& point)
{
    if (!server.Ask(point.quality, kAnswerLimit))
        return false;
    point.at = Clock::now();
    const std::vector<pid_t> tree = Descendants(pid);
    point.cpuSeconds = CpuSeconds(tree);
    point.threads = CpuSecondsByThread(tree);
    return true;
}

Measure Between(const Point& from, const Point& to, pid_t pid)
{
    Measure measure;
    const double wall = std::chrono::duration<double>(to.at - from.at).count();
    const double page = (to.quality.pageMs - from.quality.pageMs) / 1000;
    measure.cpuPercent = wall > 0 ? 100 * (to.cpuSeconds - from.cpuSeconds) / wall : 0;
    measure.dropped = to.quality.dropped - from.quality.dropped;
    measure.hidden = to.quality.hidden;
    measure.drawnWidth = to.quality.drawnWidth;
    measure.frameWidth = to.quality.frameWidth;
    if (page > 0) {
        measure.shownPerSecond = (to.quality.decoded - from.quality.decoded - measure.dropped) / page;
        measure.presentedPerSecond = (to.quality.presented - from.quality.presented) / page;
    }
    measure.pssMiB = PssMiB(Descendants(pid));
    for (const auto& [name, seconds] : to.threads) {
        auto before = from.threads.find(name);
        const double used = seconds - (before == from.threads.end() ? 0 : before->second);
        if (wall > 0 && used > 0)
            measure.threads.emplace_back(100 * used / wall, name);
    }
    std::sort(measure.threads.rbegin(), measure.threads.rend());
    return measure;
}

struct Contender {
    using Command = std::function<std::vector<std::string>(const fs::path& scratch)>;
    Contender(std::string name, Command command)
        : name(std::move(name))
        , command(std::move(command))
    {
    }
    std::string name;
    Command command;
    std::vector<std::string> environment; // NAME=VALUE, replacing the benchmark's own
    std::string videoWidth = "100vw";
    std::string videoRendering = "auto";
};

// `environment` with each of `settings` in place of a variable of the same name.
std::vector<std::string> WithSettings(
    std::vector<std::string> environment, const std::vector<std::string>& settings)
{
    for (const std::string& setting : settings) {
        const std::string name = setting.substr(0, setting.find('=') + 1);
        environment.erase(std::remove_if(environment.begin(), environment.end(),
                              [&](const std::string& variable) { return variable.rfind(name, 0) == 0; }),
            environment.end());
        environment.push_back(setting);
    }
    return environment;
}

// The --variant options, each a copy of `base` named after its label.
std::vector<Contender> Variants(int argc, char** argv, const Contender& base)
{
    std::vector<Contender> variants;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) != "--variant")
            continue;
        const std::string labelAndSettings = argv[i + 1];
        const size_t colon = labelAndSettings.find(':');
        Contender variant = base;
        variant.name = "A+" + labelAndSettings.substr(0, colon);
        std::stringstream settings(colon == std::string::npos ? "" : labelAndSettings.substr(colon + 1));
        for (std::string setting; std::getline(settings, setting, ';');) {
            if (setting.rfind("width=", 0) == 0)
                variant.videoWidth = setting.substr(6);
            else if (setting.rfind("rendering=", 0) == 0)
                variant.videoRendering = setting.substr(10);
            else if (setting.find('=') != std::string::npos)
                variant.environment.push_back(setting);
        }
        variants.push_back(variant);
    }
    return variants;
}

double LoadAverage()
{
    std::ifstream loadavg("/proc/loadavg");
    double oneMinute = 0;
    loadavg >> oneMinute;
    return oneMinute;
}

// PSS of the tree, then per process PSS/private dirty, so that a swing can be told apart: sharing
// moves PSS alone, memory the process holds moves private dirty too.
void PrintSoakMinute(int minute, pid_t pid, const Measure& soak)
{
    std::printf("  soak minute %3d: load %5.2f, PSS %7.1f MiB, CPU %5.1f %%, shown %5.1f/s, dropped %ld [",
        minute, LoadAverage(), soak.pssMiB, soak.cpuPercent, soak.shownPerSecond, soak.dropped);
    for (const ProcessMemory& process : MemoryByProcess(Descendants(pid)))
        std::printf(" %s %.1f/%.1f", process.kind.c_str(), process.pssMiB, process.privateDirtyMiB);
    std::printf(" ]\n");
    std::fflush(stdout);
}

struct Settings {
    std::chrono::seconds window { 10 };
    bool minimised = false;
    bool tray = false;
    int windowWidth = 0;
    bool threads = false;
    int soakMinutes = 0;
};

bool RunOnce(PlaybackServer& server, const Contender& contender, const Settings& settings,
    const std::vector<std::string>& environment, Progress& progress, Measure& measure)
{
    const fs::path scratch = fs::temp_directory_path() / ("zandrel-playback-" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "home");
    std::vector<std::string> env = WithSettings(environment, contender.environment);
    env.push_back("HOME=" + (scratch / "home").string());
    env.push_back("XDG_CACHE_HOME=" + (scratch / "home/cache").string());
    env.push_back("XDG_CONFIG_HOME=" + (scratch / "home/config").string());
    env.push_back("XDG_DATA_HOME=" + (scratch / "home/data").string());
    progress.Step("waiting for " + contender.name + " to start playing");
    const pid_t pid = Launch(contender.command(scratch), env);
    bool measured = false;
    Point from, to;
    const bool playing = pid > 0 && server.WaitPlaying(kPlayLimit);
    if (!playing)
        std::fprintf(stderr, "%s: the video did not play\n", contender.name.c_str());
    if (playing) {
        if (settings.minimised)
            MinimiseWindows(pid);
        if (settings.tray)
            HideToTray(pid, settings.windowWidth);
        std::this_thread::sleep_for(kSteady);
        progress.Step("waiting for " + contender.name + "'s page to report its playback");
        if (Take(server, pid, from)) {
            progress.Step({});
            std::this_thread::sleep_for(settings.window);
            progress.Step("waiting for " + contender.name + "'s page to report its playback");
            measured = Take(server, pid, to);
        }
        if (measured)
            measure = Between(from, to, pid);
        if (measured && settings.threads) {
            std::printf(
                "  %s, %.1f %%, load %.2f:", contender.name.c_str(), measure.cpuPercent, LoadAverage());
            for (size_t i = 0; i < measure.threads.size() && i < 8; ++i)
                std::printf(" %s %.1f;", measure.threads[i].second.c_str(), measure.threads[i].first);
            std::printf("\n");
        }
        for (int minute = 1; measured && minute <= settings.soakMinutes; ++minute) {
            Point previous = to;
            progress.Step({});
            std::this_thread::sleep_for(std::chrono::minutes(1));
            progress.Step("waiting for " + contender.name + "'s page to report its playback");
            if (!Take(server, pid, to))
                break;
            PrintSoakMinute(minute, pid, Between(previous, to, pid));
        }
    }
    progress.Step("ending " + contender.name + "'s processes");
    if (pid > 0)
        EndTree(pid);
    fs::remove_all(scratch);
    return measured;
}

std::vector<Clip> ChosenClips(const std::string& list)
{
    const std::map<std::string, Clip> known { { "720p30", { "720p30", 1280, 720, 30 } },
        { "1080p30", { "1080p30", 1920, 1080, 30 } }, { "1080p60", { "1080p60", 1920, 1080, 60 } } };
    std::vector<Clip> clips;
    std::stringstream names(list);
    for (std::string name; std::getline(names, name, ',');) {
        auto found = known.find(name);
        if (found != known.end())
            clips.push_back(found->second);
        else
            std::fprintf(stderr, "playback: no clip named %s\n", name.c_str());
    }
    return clips;
}

void PrintRatio(const char* label, std::map<std::string, std::vector<double>>& cpu, const std::string& a,
    const std::string& other)
{
    if (cpu.count(a) && cpu.count(other) && Median(cpu[other]) > 0)
        std::printf("%-20s %8.2f\n", label, Median(cpu[a]) / Median(cpu[other]));
}

} // namespace

int main(int argc, char** argv)
{
    Settings settings;
    settings.window = std::chrono::seconds(std::max(2, std::stoi(Option(argc, argv, "--window", "10"))));
    settings.minimised = Flag(argc, argv, "--minimised");
    settings.threads = Flag(argc, argv, "--threads");
    settings.tray = Flag(argc, argv, "--tray");
    settings.soakMinutes = std::max(0, std::stoi(Option(argc, argv, "--soak", "0")));
    // A soak is one long run per contender; the default three turns would triple its length.
    const int turns
        = settings.soakMinutes > 0 ? 1 : std::max(1, std::stoi(Option(argc, argv, "--turns", "3")));
    // Only the program has a tray to hide to.
    const std::string only = settings.tray ? "A" : Option(argc, argv, "--only", "");
    const fs::path programDir = Option(argc, argv, "--program-dir", ZANDREL_PROGRAM_DIR);
    const std::string bare = Option(argc, argv, "--bare", ZANDREL_BARE_VIEW);
    std::string chromium = Option(argc, argv, "--chromium", "/usr/bin/chromium");
    if (!fs::exists(chromium))
        chromium.clear();
    if (!getenv("DISPLAY")) {
        std::fprintf(stderr, "playback: needs a display; run it under xvfb-run\n");
        return 2;
    }
    if (!fs::exists("/usr/bin/ffmpeg")) {
        std::fprintf(stderr, "playback: needs ffmpeg (scripts/install-deps.sh --bench)\n");
        return 2;
    }

    Progress progress("playback", std::chrono::seconds(30));
    PlaybackServer server;
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    environment.push_back("QTWEBENGINE_DISABLE_SANDBOX=1");
    const fs::path folder
        = fs::temp_directory_path() / ("zandrel-playback-program-" + std::to_string(::getpid()));
    LayOutProgramFolder(programDir, folder, server.Url(""), settings.tray);
    std::unique_ptr<TrayHost> tray;
    if (settings.tray) {
        tray = std::make_unique<TrayHost>();
        if (!tray->Owned()) {
            std::fprintf(stderr, "playback: --tray needs a display without a notification area\n");
            return 2;
        }
    }

    // Everyone gets the main window's size, so all draw as many pixels.
    const std::string size = MainWindowSize(programDir / "skin/Zandrel/main.xml");
    settings.windowWidth = std::stoi(size);
    const std::string page = server.Url("/?miniClient=1");
    std::vector<Contender> contenders;
    contenders.push_back({ "A zandrel",
        [&](const fs::path&) { return std::vector<std::string> { (folder / "zandrel").string() }; } });
    auto bareView = [&](std::vector<std::string> switches) {
        return [&, switches](const fs::path&) {
            std::vector<std::string> command { bare };
            command.insert(command.end(), switches.begin(), switches.end());
            command.insert(command.end(), { "--size", size, page });
            return command;
        };
    };
    contenders.push_back({ "B bare engine", bareView({}) });
    contenders.push_back({ "Bs bare, software", bareView({ "--software" }) });
    if (!chromium.empty())
        contenders.push_back({ "C chromium --app", [&](const fs::path& scratch) {
                                  return std::vector<std::string> { chromium, "--app=" + page,
                                      "--user-data-dir=" + (scratch / "profile").string(),
                                      "--window-size=" + size, "--autoplay-policy=no-user-gesture-required",
                                      "--no-sandbox", "--disable-background-networking",
                                      "--disable-component-update", "--no-first-run", "--disable-sync",
                                      "--no-default-browser-check", "--password-store=basic" };
                              } });
    for (Contender& variant : Variants(argc, argv, contenders.front()))
        contenders.push_back(std::move(variant));
    if (!only.empty())
        contenders.erase(std::remove_if(contenders.begin(), contenders.end(),
                             [&](const Contender& contender) { return contender.name.rfind(only, 0) != 0; }),
            contenders.end());

    // Every clip is made before the first contender starts, so that the turns of all clips run
    // close together and no contender waits on the encoder in between.
    const fs::path clipFolder = folder / "clips";
    fs::create_directories(clipFolder);
    std::vector<std::pair<Clip, std::string>> clips;
    for (const Clip& clip : ChosenClips(Option(argc, argv, "--clips", "720p30,1080p30,1080p60"))) {
        progress.Step("making the " + clip.name + " clip with ffmpeg");
        const auto started = Clock::now();
        std::string content = MakeClip(clip, clipFolder);
        if (content.empty()) {
            std::fprintf(stderr, "playback: ffmpeg could not make the %s clip\n", clip.name.c_str());
            continue;
        }
        std::fprintf(stderr, "playback: made the %s clip in %.0f s\n", clip.name.c_str(),
            std::chrono::duration<double>(Clock::now() - started).count());
        clips.emplace_back(clip, std::move(content));
    }
    std::printf("%d turns per contender after one warm-up, %llds window %llds after playback starts%s\n",
        turns, static_cast<long long>(settings.window.count()), static_cast<long long>(kSteady.count()),
        settings.minimised  ? ", windows minimised"
            : settings.tray ? ", hidden to the tray"
                            : "");
    for (const auto& [clip, content] : clips) {
        std::map<std::string, std::vector<double>> cpu, shown, presented, dropped, pss, hidden, drawn;
        // A soak is long enough to be its own warm-up.
        const int firstTurn = settings.soakMinutes > 0 ? 0 : -1;
        for (int turn = firstTurn; turn < turns; ++turn) {
            for (const Contender& contender : contenders) {
                server.Serve(content, contender.videoWidth, contender.videoRendering);
                Measure measure;
                if (!RunOnce(server, contender, settings, environment, progress, measure)) {
                    std::fprintf(stderr, "%s: no measure\n", contender.name.c_str());
                    continue;
                }
                if (turn < 0)
                    continue;
                cpu[contender.name].push_back(measure.cpuPercent);
                shown[contender.name].push_back(measure.shownPerSecond);
                presented[contender.name].push_back(measure.presentedPerSecond);
                dropped[contender.name].push_back(static_cast<double>(measure.dropped));
                pss[contender.name].push_back(measure.pssMiB);
                hidden[contender.name].push_back(measure.hidden ? 1 : 0);
                if (measure.frameWidth > 0)
                    drawn[contender.name].push_back(
                        static_cast<double>(measure.drawnWidth) / static_cast<double>(measure.frameWidth));
            }
        }
        std::printf("\n%-20s %8s %8s %10s %8s %9s %7s %6s   (medians; scale: drawn/frame width)\n",
            clip.name.c_str(), "CPU %", "shown/s", "composed/s", "dropped", "PSS MiB", "hidden", "scale");
        for (const Contender& contender : contenders) {
            const std::string& name = contender.name;
            if (!cpu.count(name))
                continue;
            std::printf("%-20s %8.1f %8.1f %10.1f %8.0f %9.1f %7s %6.2f\n", name.c_str(), Median(cpu[name]),
                Median(shown[name]), Median(presented[name]), Median(dropped[name]), Median(pss[name]),
                Median(hidden[name]) >= 0.5 ? "yes" : "no", Median(drawn[name]));
        }
        const std::string a = "A zandrel";
        PrintRatio("A/B", cpu, a, "B bare engine");
        PrintRatio("A/Bs", cpu, a, "Bs bare, software");
        PrintRatio("A/C", cpu, a, "C chromium --app");
        for (const Contender& contender : contenders)
            if (contender.name.rfind("A+", 0) == 0)
                PrintRatio((contender.name + "/A").c_str(), cpu, contender.name, a);
        std::fflush(stdout);
    }
    progress.Step("removing the program folder " + folder.string());
    fs::remove_all(folder);
    progress.Step("stopping the page server");
    return 0;
}
