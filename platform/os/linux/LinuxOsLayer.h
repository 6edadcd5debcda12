#pragma once

#include "platform/os/OsLayer.h"

namespace platform::os {

// The OS layer on Linux; its operations are spread over the files of this folder by topic.
class LinuxOsLayer final : public OsLayer {
public:
    std::string ExecutablePath() override;
    bool AcquireSingleInstanceMarker(const std::string& name) override;
};

} // namespace platform::os
