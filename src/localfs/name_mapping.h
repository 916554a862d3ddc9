// Names Windows cannot hold. A Linux name may contain \ : * ? " < > |, which no
// Windows path can carry; such a character travels as the character + 0xF000
// (a private-use code point, UTF-8 on the wire), the mapping Windows-compatible
// file servers and Unix environments on Windows use, so the file is listed,
// copied and renamed like any other and comes back under its own name.
#pragma once

#include <string>

namespace duplane {

// The wire form of one native name component.
std::string WireNameOf(const std::string& native);
// The native form of one wire name component: the twins become the characters.
std::string NativeNameOf(const std::string& wire);
// A native name that already holds one of the private-use twins would look on
// the wire like the name with the real character and would name that file, so
// it cannot be carried.
bool HoldsMappedTwin(const std::string& native);

// The wire form of a name or relative path the user typed: each : * ? " < > |
// becomes its twin, so "12:00.log" names a file of that name on either side.
// Backslash and slash stay separators, and the colon of a leading drive ("D:\")
// stays a drive.
std::string WirePathOfTyped(const std::string& typed);

}  // namespace duplane
