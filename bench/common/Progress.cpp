#include "Progress.h"

#include <cstdio>

namespace bench {

Progress::Progress(std::string program, std::chrono::seconds quiet)
    : program(std::move(program))
    , quiet(quiet)
    , since(std::chrono::steady_clock::now())
    , watcher([this] { Watch(); })
{
}

Progress::~Progress()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        ending = true;
    }
    changed.notify_all();
    watcher.join();
}

void Progress::Step(std::string what)
{
    std::lock_guard<std::mutex> guard(lock);
    step = std::move(what);
    since = std::chrono::steady_clock::now();
    ++steps;
    changed.notify_all();
}

void Progress::Watch()
{
    std::unique_lock<std::mutex> guard(lock);
    while (!ending) {
        const std::string watched = step;
        const long watchedStep = steps;
        const auto started = since;
        auto next = started + quiet;
        // Said again every `quiet` for as long as the same step lasts.
        while (!changed.wait_until(guard, next, [&] { return ending || steps != watchedStep; })) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(next - started).count();
            if (!watched.empty())
                std::fprintf(stderr, "%s: still %s after %lld s\n", program.c_str(), watched.c_str(),
                    static_cast<long long>(seconds));
            next += quiet;
        }
    }
}

} // namespace bench
