// Pane values in the settings store, under names beginning with the side.
#include "ui/pane_settings.h"

#include <QSettings>
#include <QStringList>
#include <string>

#include "ui/settings.h"

namespace duplane {
namespace {

const char* const kSidePrefix[2] = {"Local", "Remote"};
const char kRemoteModule[] = "RemoteModule";

QString Name(int side, const char* value) { return QString(kSidePrefix[side]) + value; }

// Stores `text` under `name`, or removes the value when it is the default.
void Put(QSettings& store, const QString& name, const QString& text, const QString& fallback) {
  if (text == fallback) {
    store.remove(name);
  } else {
    store.setValue(name, text);
  }
}

QString Get(QSettings& store, const QString& name, const QString& fallback) {
  if (!store.contains(name)) return fallback;
  QString text = store.value(name).toString();
  const int zero = text.indexOf(QChar(0));
  if (zero >= 0) text.truncate(zero);
  return text;
}

int GetInteger(QSettings& store, const QString& name, int fallback) {
  return ParseSettingInteger(Get(store, name, QString())).value_or(fallback);
}

QString WidthsText(const std::vector<int>& widths) {
  QStringList parts;
  for (int w : widths) parts << QString::number(w);
  return parts.join(',');
}

// Widths are kept only when every one reads as a sensible pixel count.
std::vector<int> ParseWidths(const QString& text) {
  std::vector<int> widths;
  for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
    const auto w = ParseSettingInteger(part);
    if (!w || *w < 1 || *w > 10000) return {};
    widths.push_back(*w);
  }
  return widths;
}

}  // namespace

RememberedPanes LoadPanesFrom(QSettings& store) {
  RememberedPanes r;
  for (int side = 0; side < 2; ++side) {
    PaneSettings& p = r.panes[side];
    p.dir = Get(store, Name(side, "Dir"), QString());
    p.sort_column = GetInteger(store, Name(side, "SortColumn"), 1);
    if (p.sort_column == 0 || p.sort_column < -6 || p.sort_column > 6) p.sort_column = 1;
    p.file_spec = Get(store, Name(side, "FileSpec"), p.file_spec);
    if (p.file_spec.isEmpty()) p.file_spec = QStringLiteral("*.*");
    p.column_widths = ParseWidths(Get(store, Name(side, "ColumnWidths"), QString()));
    p.page = GetInteger(store, Name(side, "Page"), 0) == 1 ? 1 : 0;
  }
  r.remote_module = Get(store, kRemoteModule, QString());
  return r;
}

void SavePanesTo(QSettings& store, const RememberedPanes& r) {
  const PaneSettings defaults;
  for (int side = 0; side < 2; ++side) {
    const PaneSettings& p = r.panes[side];
    Put(store, Name(side, "Dir"), p.dir, defaults.dir);
    Put(store, Name(side, "SortColumn"), QString::number(p.sort_column),
        QString::number(defaults.sort_column));
    Put(store, Name(side, "FileSpec"), p.file_spec, defaults.file_spec);
    Put(store, Name(side, "ColumnWidths"), WidthsText(p.column_widths), QString());
    Put(store, Name(side, "Page"), QString::number(p.page), QString::number(defaults.page));
  }
  Put(store, kRemoteModule, r.panes[1].dir.isEmpty() ? QString() : r.remote_module, QString());
  store.sync();
}

QString RemoteModuleIdentity(const std::string& drives, char home, long long home_size) {
  return QString::fromStdString(drives) + '|' + QChar(home) + '|' + QString::number(home_size);
}

}  // namespace duplane
