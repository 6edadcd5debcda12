// What a benchmark is waiting for, said on standard error once a step has taken long, so that a
// run that looks stuck names what it waits on instead of staying silent.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace bench {

class Progress {
public:
    // `program` prefixes every line; a step is reported after `quiet`, then every `quiet` again.
    explicit Progress(std::string program, std::chrono::seconds quiet = std::chrono::seconds(60));
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // The step from now on, in words ("making the 1080p60 clip with ffmpeg"), or none (a
    // deliberate wait); ends the previous one.
    void Step(std::string what);

private:
    void Watch();

    const std::string program;
    const std::chrono::seconds quiet;
    std::mutex lock;
    std::condition_variable changed;
    std::string step;
    std::chrono::steady_clock::time_point since;
    long steps = 0;
    bool ending = false;
    std::thread watcher;
};

} // namespace bench
