#include "app/SingleInstance.h"

#include "platform/os/OsLayer.h"

bool CheckSingleInstance() { return platform::os::Os().AcquireSingleInstanceMarker("Global\\ZANDREL_APP"); }

void ReleaseSingleInstance() { platform::os::Os().ReleaseSingleInstanceMarker(); }
