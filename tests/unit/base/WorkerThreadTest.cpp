#include "base/WorkerThread.h"

#include "support/WaitUntil.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace {

// What a worker's Run shares with the test; kept alive by both, so it outlives the worker.
struct Probe {
    std::atomic<bool> started { false };
    std::atomic<int> runs { 0 };
    std::atomic<bool> finished { false };
    std::atomic<bool> release { false };
    std::atomic<bool> sawStop { false };
};

enum class Behaviour { ReturnAtOnce, WaitForWake, IgnoreStop };

class TestWorker : public WorkerThread {
public:
    TestWorker(Behaviour behaviour, std::shared_ptr<Probe> probe)
        : behaviour(behaviour)
        , probe(std::move(probe))
    {
    }
    ~TestWorker() override { Stop(10000); }

protected:
    void Run() override
    {
        // Copies first: an abandoned run must not reach into this object again.
        std::shared_ptr<Probe> shared = probe;
        std::shared_ptr<WorkerSignal> wake = WakeEvent();
        const Behaviour what = behaviour;
        shared->started = true;
        ++shared->runs;
        if (what == Behaviour::WaitForWake) {
            shared->sawStop = wake->Wait(std::chrono::minutes(1));
        } else if (what == Behaviour::IgnoreStop) {
            while (!shared->release)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        shared->finished = true;
    }

private:
    Behaviour behaviour;
    std::shared_ptr<Probe> probe;
};

TEST(WorkerThread, RefusesASecondStartUntilStopped)
{
    auto probe = std::make_shared<Probe>();
    TestWorker worker(Behaviour::ReturnAtOnce, probe);
    uint32_t first = worker.Start();
    EXPECT_NE(first, 0u);
    ASSERT_TRUE(WaitUntil([&] { return probe->finished.load(); }));
    EXPECT_EQ(worker.Start(), 0u) << "a finished run still counts as running until Stop";

    worker.Stop(3000);
    probe->finished = false;
    uint32_t second = worker.Start();
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
    ASSERT_TRUE(WaitUntil([&] { return probe->finished.load(); }));
}

TEST(WorkerThread, RefusesAStartWhileRunning)
{
    auto probe = std::make_shared<Probe>();
    TestWorker worker(Behaviour::WaitForWake, probe);
    ASSERT_NE(worker.Start(), 0u);
    EXPECT_EQ(worker.Start(), 0u);
    worker.Stop(60000);
    EXPECT_TRUE(probe->finished);
}

TEST(WorkerThread, StopWakesARunThatWaitsForIt)
{
    auto probe = std::make_shared<Probe>();
    TestWorker worker(Behaviour::WaitForWake, probe);
    ASSERT_NE(worker.Start(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return probe->started.load(); }));
    worker.Stop(60000);
    EXPECT_TRUE(probe->finished) << "Stop returns only after a cooperative run has ended";
    EXPECT_TRUE(probe->sawStop);
}

TEST(WorkerThread, StopAbandonsARunThatIgnoresItAndTheObjectCanGo)
{
    auto probe = std::make_shared<Probe>();
    auto worker = std::make_unique<TestWorker>(Behaviour::IgnoreStop, probe);
    ASSERT_NE(worker->Start(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return probe->started.load(); }));

    worker->Stop(50);
    EXPECT_FALSE(probe->finished) << "the run is still going after the time-out";

    // A new run may start beside the abandoned one.
    EXPECT_NE(worker->Start(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return probe->runs == 2; }));
    worker->Stop(50);

    worker.reset();
    probe->release = true;
    EXPECT_TRUE(WaitUntil([&] { return probe->finished.load(); }));
}

TEST(WorkerThread, StopWithoutAThreadIsHarmless)
{
    auto probe = std::make_shared<Probe>();
    TestWorker worker(Behaviour::ReturnAtOnce, probe);
    worker.Stop(0);
    worker.Stop(0);
    EXPECT_NE(worker.Start(), 0u);
}

} // namespace
