// The start-up check that the Qt libraries found at run time are at least the
// version this program was written for.
#pragma once

#include <QString>

namespace duplane {

inline constexpr char kMakerWebAddress[] = "http://www.talveri.com";
inline constexpr int kRequiredQtMajor = 6;
inline constexpr int kRequiredQtMinor = 2;

// The error text shown when the check fails.
QString QtVersionMessage();

// True when `running` (a "major.minor.patch" text, as qVersion() gives it)
// is at least the required version. A text that does not read fails.
bool QtVersionSufficient(const char* running);

}  // namespace duplane
