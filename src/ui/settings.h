// The program's settings: the eight values kept under Talveri/Duplane, the
// rules for reading them back (integers, Booleans, strings) and the parsing of
// the chosen port's base address.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QSettings;

namespace duplane {

struct Settings {
  int main_width = 0;   // 0 or less: keep the design width
  int main_height = 0;  // 0 or less: keep the design height
  bool main_maximized = false;
  int lpt_port = 1;  // 1..3
  QString base[3] = {QStringLiteral("0378"), QStringLiteral("0278"), QStringLiteral("03BC")};
  bool remote_icons = true;
};

// The settings store of the current user: QSettings(kSettingsOrganization,
// kSettingsApplication), a configuration file on Linux, the registry on Windows.
inline constexpr char kSettingsOrganization[] = "Talveri";
inline constexpr char kSettingsApplication[] = "Duplane";

// Reads the eight values in their fixed order; missing or unreadable values
// give their defaults, LPTPort outside 1..3 reads as 1.
Settings LoadSettingsFrom(QSettings& store);
// Writes the eight values in the same order, every one as a string.
void SaveSettingsTo(QSettings& store, const Settings& settings);

// Integer text: optional sign, then decimal digits or "$" and hexadecimal
// digits, fitting in 32 bits. Anything else is nullopt.
std::optional<std::int32_t> ParseSettingInteger(const QString& text);

// A Base string: hexadecimal digits only (no prefix, sign or blank), at least
// one, value within 32 bits. Gives the low 16 bits, or nullopt.
std::optional<std::uint16_t> ParsePortBase(const QString& text);

}  // namespace duplane
