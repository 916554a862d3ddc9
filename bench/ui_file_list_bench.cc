// Measures the file list with a large directory: reading 100,000 entries on
// this PC into the list, sorting by each column and reversing, and, over an
// in-memory cable, reading a smaller directory from a Remote Module to show
// the cost per entry. Prints the times; it never fails on speed.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "remote/remote_module.h"
#include "ui/link_form.h"
#include "ui/link_session.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"
#include "ui/message_form.h"

namespace {

using Clock = std::chrono::steady_clock;
using duplane::Side;

double Ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void MakeFiles(const QString& dir, int count) {
  for (int i = 0; i < count; ++i) {
    // Sizes and names vary so that every column has something to sort.
    const std::string name = dir.toStdString() + "/File" + std::to_string((i * 7919) % count) +
                             (i % 3 == 0 ? ".TXT" : ".dat");
    const int fd = ::open(name.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd >= 0) {
      if (i % 5 != 0) (void)::ftruncate(fd, (i * 131) % 100000);
      ::close(fd);
    }
  }
}

class SilentBoxes : public duplane::MessageBoxes {
 public:
  void Error(const QString& text) override {
    std::fprintf(stderr, "error: %s\n", qPrintable(text));
  }
  void Information(const QString&) override {}
  bool RetryCancel(const QString&) override { return false; }
};

void MeasureSorts(duplane::TForm1& form, Side side) {
  const char* const kColumns[] = {"Name", "Size", "Attr", "Modified", "Accessed", "Created"};
  for (int column = 0; column < duplane::kPaneColumns; ++column) {
    auto start = Clock::now();
    form.Pane(side).ColumnClicked(column);
    const double sort_ms = Ms(start);
    start = Clock::now();
    form.Pane(side).ColumnClicked(column);  // same column again: reverse
    std::printf("  sort by %-8s %8.1f ms, reverse %6.1f ms\n", kColumns[column], sort_ms,
                Ms(start));
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace duplane;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int kLocalFiles = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int kRemoteFiles = argc > 2 ? std::atoi(argv[2]) : 2000;
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  TForm1::SetPausePercent(0);

  QTemporaryDir local_dir;
  QTemporaryDir remote_dir;
  auto start = Clock::now();
  MakeFiles(local_dir.path(), kLocalFiles);
  MakeFiles(remote_dir.path(), kRemoteFiles);
  std::printf("created %d + %d files in %.0f ms\n", kLocalFiles, kRemoteFiles, Ms(start));

  auto [program_end, remote_end] = VirtualCable::CreatePair();
  LocalFileSystem remote_files({{'C', remote_dir.path().toStdString()}}, true);
  std::atomic<bool> stop{false};
  std::thread remote([&, end = std::move(remote_end)] {
    RemoteModule module(*end, kDefaultPortBase, remote_files);
    module.Serve(stop);
  });

  LocalFileSystem local_files({{'C', local_dir.path().toStdString()}}, true);
  LinkSession session(local_files);
  session.AttachPort(std::move(program_end), kDefaultPortBase, true);
  SilentBoxes boxes;
  TForm1 form(session, boxes);
  TLinkForm link_form(session, QString());
  form.SetLinkForm(&link_form);
  TMessageForm message_form;
  form.SetMessageForm(&message_form);
  form.resize(1000, 700);
  form.show();
  QApplication::processEvents();

  for (Side side : {Side::kLocal, Side::kRemote}) {
    if (side == Side::kRemote) form.Connect1Click();
    const int files = side == Side::kLocal ? kLocalFiles : kRemoteFiles;
    form.Controls(side).page_control->setCurrentIndex(1);
    form.link().LinkChDir(side, "C:\\");
    form.Pane(side).record().Path = form.link().LinkGetDir(side, kCurrentDrive);
    // The directory search alone, for comparison with the whole fill.
    start = Clock::now();
    int found = 0;
    if (form.link().LinkFindFirst(side, 1, "C:\\*.*", kMaskFilesAndDirs) == 0) {
      do ++found;
      while (form.link().LinkFindNext(side, 1) == 0);
      form.link().LinkFindClose(side, 1);
    }
    std::printf("%s: search alone %d entries %.1f ms\n", side == Side::kLocal ? "Local" : "Remote",
                found, Ms(start));
    start = Clock::now();
    form.Pane(side).FillList();
    const double fill_ms = Ms(start);
    start = Clock::now();
    QApplication::processEvents();  // the first paint of the list
    std::printf("%s: fill %d entries %.1f ms (%.2f us per entry), first paint %.1f ms\n",
                side == Side::kLocal ? "Local" : "Remote", files, fill_ms, fill_ms * 1000.0 / files,
                Ms(start));
    form.Pane(side).SelectAllFiles();
    MeasureSorts(form, side);
  }
  form.close();
  stop = true;
  remote.join();
  return 0;
}
