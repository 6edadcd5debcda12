#pragma once

// Registers the running program to start with the desktop session, or removes that
// registration. Failures are silent: the setting then lives in config.xml only.
class AutoStartRegistrar {
public:
    void SetAutoStart();
    void RemoveAutoStart();
};
