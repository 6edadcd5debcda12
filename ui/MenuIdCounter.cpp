#include "ui/MenuIdCounter.h"

namespace {
int menuIdCounter = 1000;
constexpr int kLastMenuId = 1000000;
constexpr int kMenuIdAfterWrap = 101;
}

int NextMenuId()
{
    int next = menuIdCounter + 1;
    if (next > kLastMenuId)
        next = kMenuIdAfterWrap;
    menuIdCounter = next;
    return next;
}
