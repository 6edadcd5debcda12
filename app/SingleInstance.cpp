#include "app/SingleInstance.h"

#include "platform/os/OsLayer.h"

namespace {
constexpr char kMarkerName[] = "Global\\ZANDREL_APP";
}

bool CheckSingleInstance() { return platform::os::Os().AcquireSingleInstanceMarker(kMarkerName); }

void ReleaseSingleInstance() { platform::os::Os().ReleaseSingleInstanceMarker(); }

void ListenForLaterStarts(std::function<void()> onLaterStart)
{
    platform::os::Os().ListenOnSingleInstanceMarker(std::move(onLaterStart));
}

void StopListeningForLaterStarts() { platform::os::Os().StopListeningOnSingleInstanceMarker(); }

bool SignalRunningInstance() { return platform::os::Os().SignalSingleInstanceMarker(kMarkerName); }
