// Program start. The windows are created once, in the order users of the
// program's other builds know from its start-up messages, and live until the
// event loop ends.
#include "ui/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>
#include <string>

#include "duplane_version.h"
#include "localfs/local_file_system.h"
#include "ui/link_session.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/program_windows.h"
#include "ui/single_instance.h"

namespace duplane {

namespace {

// Parses the window's command line. Returns -1 when the window is to start,
// else the exit status (after --help, --version or a bad option).
int ParseCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                     QString* cable_path) {
  parser.setApplicationDescription("Duplane: the files of two PCs joined by a parallel cable.");
  parser.addHelpOption();
  const QCommandLineOption version(QStringLiteral("version"), "Show the version.");
  parser.addOption(version);
  const QCommandLineOption cable(QStringLiteral("cable"),
                                 "Run the session over the virtual cable file PATH.", "PATH");
  parser.addOption(cable);
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "duplane: %s\n", qPrintable(parser.errorText()));
    return 2;
  }
  if (parser.isSet("help") || parser.isSet("help-all")) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::puts("duplane " DUPLANE_VERSION);
    return 0;
  }
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "duplane: unexpected argument '%s'\n",
                 qPrintable(parser.positionalArguments().first()));
    return 2;
  }
  *cable_path = parser.value(cable);
  return -1;
}

// --help and --version need no window: they are answered before the display is
// opened, so they work over ssh and in a package check without an X server.
bool AsksForTextOnly(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "--help-all" ||
        arg == "--version") {
      return true;
    }
  }
  return false;
}

}  // namespace

int RunDuplane(int argc, char** argv) {
  QString cable_path;
  if (AsksForTextOnly(argc, argv)) {
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    const int status = ParseCommandLine(parser, core.arguments(), &cable_path);
    return status < 0 ? 0 : status;
  }
  QApplication app(argc, argv);
  QCommandLineParser parser;
  const int status = ParseCommandLine(parser, app.arguments(), &cable_path);
  if (status >= 0) return status;

  SingleInstance instance;
  if (instance.EarlierInstanceRuns()) return 0;
  QApplication::setApplicationName(form1_text::kApplicationTitle);
  // No display name: Qt would append it to every window's caption.

  LocalFileSystem local(LocalFileSystem::DefaultDrives(), /*confine=*/false);
  LinkSession session(local);
  QtMessageBoxes boxes;

  ProgramWindows windows(session, boxes, cable_path);
  TForm1& form1 = *windows.form1;
  instance.SetWindow(&form1);
  if (form1.terminate_requested()) return 0;

  form1.show();
  return app.exec();
}

}  // namespace duplane
