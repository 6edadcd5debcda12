#include "base/BuildIdentity.h"

// The project's version, as the build declares it.
const std::u16string VersionText = u"" ZANDREL_VERSION;
const std::u16string FallbackVersionText = u"1.0.0.0";
const std::u16string InternalVersionText = u"201509241055";

std::u16string EffectiveVersionTextOf(const std::u16string& version, const std::u16string& fallback)
{
    if (!version.empty() && version.front() == u'$')
        return fallback;
    return version;
}

std::u16string EffectiveVersionText() { return EffectiveVersionTextOf(VersionText, FallbackVersionText); }

std::u16string InternalVersion() { return InternalVersionText; }
