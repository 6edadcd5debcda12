#pragma once

#include "platform/engine/CefRefCounted.h"
#include "platform/engine/CefTypes.h"

#include <functional>

namespace platform::engine {

class CefTask : public virtual CefBaseRefCounted {
public:
    virtual void Execute() = 0;
};

/// A task that runs a function.
CefRefPtr<CefTask> CefCreateClosureTask(std::function<void()> closure);

/// Queues the task on an engine thread; false when that thread cannot take it.
bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task);
bool CefPostTask(CefThreadId threadId, std::function<void()> closure);

/// True on the named engine thread.
bool CefCurrentlyOn(CefThreadId threadId);

} // namespace platform::engine
