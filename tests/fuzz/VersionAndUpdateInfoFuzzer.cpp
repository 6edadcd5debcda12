// Feeds arbitrary bytes to the version scanner and the update reply reader: nothing
// may crash or throw, and a reply that was read must survive a write and re-read.
#include "update/UpdateCheck.h"
#include "update/UpdateInfo.h"
#include "update/VersionNumber.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool SameFields(const UpdateInfo& a, const UpdateInfo& b)
{
    return a.result == b.result && a.newVersion == b.newVersion && a.minVersion == b.minVersion
        && a.version == b.version && a.versionName == b.versionName && a.versionUrl == b.versionUrl
        && a.signature == b.signature;
}

void FuzzVersion(const std::string& text)
{
    VersionNumber version;
    version.Parse(text);
    Check(version.major >= 0 && version.minor >= 0 && version.build >= 0 && version.revision >= 0,
        "negative part");
    VersionNumber again;
    again.Parse(version.ToString());
    Check(!version.IsLessThan(again) && !again.IsLessThan(version), "text form does not read back");
    Check(!version.IsLessThan(version), "a version older than itself");
}

void FuzzReply(const std::string& text)
{
    UpdateInfo info;
    if (info.FromUtf8Text(text)) {
        UpdateInfo copy;
        Check(copy.FromJsonText(info.ToJsonText()), "written reply does not parse");
        Check(SameFields(info, copy), "written reply reads back differently");
    }
    const VersionNumber current = CurrentVersion();
    StartupUpdateDecision(0, info, current);
    ManualCheckDecision(0, info, current);
    DialogCheckDecision(0, info, current);

    UpdateInfo fromBase64;
    fromBase64.FromBase64Text(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        FuzzVersion(text);
        FuzzReply(text);
    } catch (...) {
        Check(false, "exception escaped");
    }
    return 0;
}
