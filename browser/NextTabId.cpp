#include "browser/NextTabId.h"

#include <atomic>

namespace {
std::atomic<int> tabIdCounter { -1 };
}

int NextTabId()
{
    int current = tabIdCounter.load();
    int next = 0;
    do {
        next = current + 1 > 65535 ? 0 : current + 1;
    } while (!tabIdCounter.compare_exchange_weak(current, next));
    return next;
}
