#include "platform/os/OsLayer.h"

#include "platform/os/linux/LinuxOsLayer.h"

namespace platform::os {

namespace {
    OsLayer* replacement = nullptr;
}

OsLayer& Os()
{
    static LinuxOsLayer real;
    return replacement ? *replacement : real;
}

void SetOsLayer(OsLayer* layer) { replacement = layer; }

} // namespace platform::os
