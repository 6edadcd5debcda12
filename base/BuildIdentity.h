#pragma once

#include <string>

// The version texts that identify this build; fixed for the life of the process.
extern const std::u16string VersionText;
extern const std::u16string FallbackVersionText;
extern const std::u16string InternalVersionText;

// VersionText, or FallbackVersionText when VersionText is an unexpanded "$..." placeholder.
std::u16string EffectiveVersionText();
// The rule behind EffectiveVersionText, for any pair of texts.
std::u16string EffectiveVersionTextOf(const std::u16string& version, const std::u16string& fallback);
std::u16string InternalVersion();
