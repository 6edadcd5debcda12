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

// The result of a check whose reply does not carry the installation key's signature over its body;
// libcurl's codes are positive.
constexpr int kReplyNotSigned = -3;
// The reply header that carries that signature (base64 of Ed25519 over the exact body bytes).
constexpr char kReplySignatureHeader[] = "X-Update-Signature";

// Fetches updateUrl (10 s limits) into info; returns the transfer's result code. With a key the
// reply counts only when signed by it (kReplyNotSigned otherwise). info stays untouched when
// the check fails.
int FetchUpdateInfo(UpdateInfo& info, const std::string& updateUrl, const std::string& updateKey);
// The same with the installation's key, so that no check point can skip it.
int FetchUpdateInfo(UpdateInfo& info, const std::string& updateUrl);
// The same for the configured update server; UI thread (the configuration lives there).
int FetchUpdateInfo(UpdateInfo& info);

// Whether address is an http:// or https:// address with a host: the only kind the reply may
// have handed to the desktop or downloaded.
bool IsWebAddress(const std::string& address);
// Whether address is an https:// address with a host.
bool IsHttpsAddress(const std::string& address);

// The three check points, as pure functions of the transfer result, the parsed
// reply and the running version. A required update (start-up) or an offered download (dialog)
// whose address is not a web address counts as a failed check.
UpdateDecision StartupUpdateDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current);
UpdateDecision ManualCheckDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current);
UpdateDecision DialogCheckDecision(int fetchResult, const UpdateInfo& info, const VersionNumber& current);
