#include "base/WorkerThread.h"

#include <system_error>

namespace {

std::atomic<uint32_t> lastThreadId { 0 };

uint32_t NextThreadId()
{
    uint32_t id = ++lastThreadId;
    return id != 0 ? id : ++lastThreadId;
}

} // namespace

void WorkerSignal::Signal()
{
    std::lock_guard<std::mutex> lock(mutex);
    signalled = true;
    changed.notify_all();
}

bool WorkerSignal::IsSignalled() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return signalled;
}

bool WorkerSignal::Wait(std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, timeout, [this] { return signalled; });
}

void WorkerSignal::MarkFinished()
{
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
    changed.notify_all();
}

bool WorkerSignal::WaitFinished(std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, timeout, [this] { return finished; });
}

WorkerThread::WorkerThread()
    : wakeEvent(std::make_shared<WorkerSignal>())
{
}

WorkerThread::~WorkerThread()
{
    running = false;
    ReleaseThread(std::chrono::milliseconds(0));
}

uint32_t WorkerThread::Start()
{
    if (running)
        return 0;
    // A fresh event per run: a thread abandoned earlier keeps its own and cannot
    // be woken or mistaken for this one.
    auto signal = std::make_shared<WorkerSignal>();
    // Everything Run may read is in place before the thread exists.
    wakeEvent = signal;
    threadId = NextThreadId();
    running = true;
    try {
        threadHandle = std::thread([this, signal] {
            Run();
            // The owner may be gone once Stop has given up on this thread, so only the
            // shared event is touched from here on.
            signal->MarkFinished();
        });
    } catch (const std::system_error&) {
        running = false;
        threadId = 0;
        return 0;
    }
    return threadId;
}

void WorkerThread::Stop(unsigned timeoutMs)
{
    running = false;
    ReleaseThread(std::chrono::milliseconds(timeoutMs));
}

bool WorkerThread::StopRequested() const { return !running || wakeEvent->IsSignalled(); }

// The only place the thread object is released, always on the controlling thread, so
// it is joined or abandoned exactly once.
void WorkerThread::ReleaseThread(std::chrono::milliseconds timeout)
{
    if (!threadHandle.joinable())
        return;
    std::shared_ptr<WorkerSignal> signal = wakeEvent;
    signal->Signal();
    if (signal->WaitFinished(timeout))
        threadHandle.join();
    else
        threadHandle.detach();
}
