#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

// The wake event of one run: signalled by Stop, seen by Run. Shared with the thread,
// so a thread abandoned after a time-out can still use it once its owner is gone.
class WorkerSignal {
public:
    void Signal();
    bool IsSignalled() const;
    // True when signalled before the time is up.
    bool Wait(std::chrono::milliseconds timeout) const;

private:
    friend class WorkerThread;
    void MarkFinished();
    bool WaitFinished(std::chrono::milliseconds timeout) const;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    bool signalled = false;
    bool finished = false;
};

// Runs one piece of work (Run) on a thread of its own. Start, Stop and the destructor
// belong to one controlling thread. A thread that ignores Stop past its time-out is
// abandoned, not killed: Run must then touch only what it keeps alive itself and report
// through posted window messages. A subclass calls Stop in its own destructor.
class WorkerThread {
public:
    WorkerThread();
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // The new thread's identifier; 0 when already running (also after Run has returned,
    // until Stop) or when no thread could be started.
    uint32_t Start();
    // Asks Run to stop and waits for it at most timeoutMs; abandons it afterwards.
    void Stop(unsigned timeoutMs);

protected:
    virtual void Run() = 0;

    // For Run: whether a stop was requested, and the wake event to keep or wait on.
    bool StopRequested() const;
    std::shared_ptr<WorkerSignal> WakeEvent() const { return wakeEvent; }

    std::atomic<bool> running { false };
    uint32_t threadId = 0;

private:
    void ReleaseThread(std::chrono::milliseconds timeout);

    std::thread threadHandle;
    std::shared_ptr<WorkerSignal> wakeEvent;
};
