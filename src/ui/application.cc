// Program start. The windows are created once, in the order users of the
// program's other builds know from its start-up messages, and live until the
// event loop ends.
#include "ui/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

#include "link/local_file_system.h"
#include "ui/link_session.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/program_windows.h"
#include "ui/single_instance.h"

namespace duplane {

int RunDuplane(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("Duplane: the files of two PCs joined by a parallel cable.");
  parser.addHelpOption();
  const QCommandLineOption cable(QStringLiteral("cable"),
                                 "Run the session over the virtual cable file PATH.", "PATH");
  parser.addOption(cable);
  if (!parser.parse(app.arguments())) {
    std::fprintf(stderr, "duplane: %s\n", qPrintable(parser.errorText()));
    return 2;
  }
  if (parser.isSet("help")) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "duplane: unexpected argument '%s'\n",
                 qPrintable(parser.positionalArguments().first()));
    return 2;
  }

  SingleInstance instance;
  if (instance.EarlierInstanceRuns()) return 0;
  QApplication::setApplicationName(form1_text::kApplicationTitle);
  // No display name: Qt would append it to every window's caption.

  LocalFileSystem local(LocalFileSystem::DefaultDrives(), /*confine=*/false);
  LinkSession session(local);
  QtMessageBoxes boxes;

  ProgramWindows windows(session, boxes, parser.value(cable));
  TForm1& form1 = *windows.form1;
  instance.SetWindow(&form1);
  if (form1.terminate_requested()) return 0;

  form1.show();
  return app.exec();
}

}  // namespace duplane
