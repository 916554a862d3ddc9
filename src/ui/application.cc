// Program start. The windows are created once, in the order users of the
// program's other builds know from its start-up messages, and live until the
// event loop ends.
#include "ui/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

#include "link/local_file_system.h"
#include "ui/about_form.h"
#include "ui/config_form.h"
#include "ui/copy_move_form.h"
#include "ui/copy_status_form.h"
#include "ui/delete_form.h"
#include "ui/link_form.h"
#include "ui/link_session.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/message_form.h"
#include "ui/single_instance.h"
#include "ui/transfer_entries.h"

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

  TForm1 form1(session, boxes);
  instance.SetWindow(&form1);
  TLinkForm link_form(session, parser.value(cable));
  form1.SetLinkForm(&link_form);
  // The transfer windows wait, created, until a copy, move or delete shows them.
  TCopyStatusForm copy_status_form;
  TCopyMoveForm copy_move_form;
  TDeleteForm delete_form;
  TConfigForm config_form;
  form1.SetConfigForm(&config_form);
  TMessageForm message_form;
  form1.SetMessageForm(&message_form);
  TAboutForm about_form;
  form1.SetAboutForm(&about_form);
  // Owned by the main window once every window it uses exists.
  new TransferEntries(form1, boxes, message_form, copy_status_form, copy_move_form, delete_form);
  if (form1.terminate_requested()) return 0;

  form1.show();
  return app.exec();
}

}  // namespace duplane
