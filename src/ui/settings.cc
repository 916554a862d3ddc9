// Settings store and reading rules. Every value is stored as text so the file
// reads the same as the registry values of the Windows build.
#include "ui/settings.h"

#include <QSettings>

namespace duplane {
namespace {

const char* const kBaseNames[3] = {"Base1", "Base2", "Base3"};

// A string value ends at its first zero character, as a registry string does.
QString ReadString(QSettings& store, const char* name, const QString& fallback) {
  if (!store.contains(name)) return fallback;
  QString text = store.value(name).toString();
  const int zero = text.indexOf(QChar(0));
  if (zero >= 0) text.truncate(zero);
  return text;
}

std::int32_t ReadInteger(QSettings& store, const char* name, std::int32_t fallback) {
  if (!store.contains(name)) return fallback;
  return ParseSettingInteger(ReadString(store, name, QString())).value_or(fallback);
}

bool ReadBool(QSettings& store, const char* name, bool fallback) {
  return ReadInteger(store, name, fallback ? 1 : 0) != 0;
}

int HexDigit(QChar c) {
  const ushort u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

// Unsigned digits of `base` 10 or 16, at least one, value kept within `limit`.
std::optional<std::uint64_t> ParseDigits(QStringView digits, int base, std::uint64_t limit) {
  if (digits.isEmpty()) return std::nullopt;
  std::uint64_t value = 0;
  for (QChar c : digits) {
    const int d = HexDigit(c);
    if (d < 0 || d >= base) return std::nullopt;
    value = value * base + d;
    if (value > limit) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::int32_t> ParseSettingInteger(const QString& text) {
  QStringView rest(text);
  bool negative = false;
  if (!rest.isEmpty() && (rest[0] == '-' || rest[0] == '+')) {
    negative = rest[0] == '-';
    rest = rest.mid(1);
  }
  std::optional<std::uint64_t> magnitude;
  if (!rest.isEmpty() && rest[0] == '$') {
    // Hexadecimal gives the 32-bit pattern, so $FFFFFFFF is -1.
    magnitude = ParseDigits(rest.mid(1), 16, 0xFFFFFFFFull);
    if (!magnitude) return std::nullopt;
    std::int32_t value = static_cast<std::int32_t>(static_cast<std::uint32_t>(*magnitude));
    return negative ? -value : value;
  }
  magnitude = ParseDigits(rest, 10, negative ? 0x80000000ull : 0x7FFFFFFFull);
  if (!magnitude) return std::nullopt;
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
  return static_cast<std::int32_t>(value);
}

std::optional<std::uint16_t> ParsePortBase(const QString& text) {
  const auto value = ParseDigits(QStringView(text), 16, 0xFFFFFFFFull);
  if (!value) return std::nullopt;
  return static_cast<std::uint16_t>(*value & 0xFFFF);
}

Settings LoadSettingsFrom(QSettings& store) {
  Settings s;
  s.main_width = ReadInteger(store, "MainWidth", 0);
  s.main_height = ReadInteger(store, "MainHeight", 0);
  s.main_maximized = ReadBool(store, "MainMaximized", false);
  s.lpt_port = ReadInteger(store, "LPTPort", 1);
  if (s.lpt_port < 1 || s.lpt_port > 3) s.lpt_port = 1;
  for (int i = 0; i < 3; ++i) s.base[i] = ReadString(store, kBaseNames[i], s.base[i]);
  s.remote_icons = ReadBool(store, "RemoteIcons", true);
  return s;
}

void SaveSettingsTo(QSettings& store, const Settings& s) {
  store.setValue("MainWidth", QString::number(s.main_width));
  store.setValue("MainHeight", QString::number(s.main_height));
  store.setValue("MainMaximized", QString(s.main_maximized ? "1" : "0"));
  store.setValue("LPTPort", QString::number(s.lpt_port));
  for (int i = 0; i < 3; ++i) store.setValue(kBaseNames[i], s.base[i]);
  store.setValue("RemoteIcons", QString(s.remote_icons ? "1" : "0"));
  store.sync();
}

}  // namespace duplane
