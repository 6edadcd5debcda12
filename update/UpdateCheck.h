#pragma once

#include "update/UpdateInfo.h"
#include "update/VersionNumber.h"

#include <string>

enum class UpdateOutcome {
    NoAction,
    UpdateRequired,
    UpdateAvailable,
    UpToDate,
    ServerFailed,
};

// What one check point does: the outcome, the text to show (empty when nothing is
// shown) and, for required and available updates, the installer or download address.
struct UpdateDecision {
    UpdateOutcome outcome = UpdateOutcome::NoAction;
    std::u16string text;
    std::string url;
};

// Fetches updateUrl (10 s limits) into info; returns the transfer's result code.
// info stays untouched when the transfer fails.
int FetchUpdateInfo(UpdateInfo& info, const std::string& updateUrl);
// The same for the configured update server; UI thread (the configuration lives there).
int FetchUpdateInfo(UpdateInfo& info);

// The three check points, as pure functions of the transfer result, the parsed
// reply and the running version.
UpdateDecision StartupUpdateDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current);
UpdateDecision ManualCheckDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current);
UpdateDecision DialogCheckDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current);
