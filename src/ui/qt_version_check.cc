// Qt version check. The message keeps the wording users of the Windows build
// know, so that support answers stay the same on every platform.
#include "ui/qt_version_check.h"

#include <QStringList>

namespace duplane {

QString QtVersionMessage() {
  return QStringLiteral(
             "This application requires version 4.70 or greater of COMCTL32.DLL. "
             "Visit the Talveri web site at %1 for more information.")
      .arg(QLatin1String(kMakerWebAddress));
}

bool QtVersionSufficient(const char* running) {
  if (running == nullptr) return false;
  const QStringList parts = QString::fromLatin1(running).split('.');
  if (parts.size() < 2) return false;
  bool major_ok = false;
  bool minor_ok = false;
  const int major = parts[0].toInt(&major_ok);
  const int minor = parts[1].toInt(&minor_ok);
  if (!major_ok || !minor_ok) return false;
  return major > kRequiredQtMajor || (major == kRequiredQtMajor && minor >= kRequiredQtMinor);
}

}  // namespace duplane
