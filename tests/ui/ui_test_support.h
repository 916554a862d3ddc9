// Shared pieces of the window tests: one QApplication, settings and locale
// pointed at a temporary folder and a fixed locale, scripted message boxes,
// a Remote Module thread on the other end of an in-memory cable, and the whole
// set of windows built as the program builds them.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "qt_test_app.h"
#include "remote/command_dispatcher.h"
#include "remote/remote_session.h"
#include "support/late_parent_searches.h"
#include "ui/about_form.h"
#include "ui/config_form.h"
#include "ui/copy_move_form.h"
#include "ui/copy_status_form.h"
#include "ui/delete_form.h"
#include "ui/link_form.h"
#include "ui/link_session.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"
#include "ui/message_form.h"
#include "ui/program_windows.h"
#include "ui/transfer_entries.h"

namespace duplane::testing_ui {

inline void EnsureApplication() {
  static const bool once = [] {
    TestApp();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TForm1::SetPausePercent(0);
    return true;
  }();
  (void)once;
}

// Every box is recorded; questions take their answers in order from their own
// script (Cancel, or No, once it runs out).
class ScriptedBoxes : public MessageBoxes {
 public:
  struct Shown {
    std::string kind;
    std::string text;
  };
  void Error(const QString& text) override { shown.push_back({"Error", text.toStdString()}); }
  void Information(const QString& text) override {
    shown.push_back({"Information", text.toStdString()});
  }
  bool RetryCancel(const QString& text) override {
    shown.push_back({"RetryCancel", text.toStdString()});
    if (retry_answers.empty()) return false;
    const bool retry = retry_answers.front();
    retry_answers.pop_front();
    return retry;
  }
  PromptAnswer YesNoCancelAll(const QString& text) override {
    shown.push_back({"YesNoCancelAll", text.toStdString()});
    if (prompt_answers.empty()) return PromptAnswer::kCancel;
    const PromptAnswer answer = prompt_answers.front();
    prompt_answers.pop_front();
    return answer;
  }
  bool YesNo(const QString& text) override {
    shown.push_back({"YesNo", text.toStdString()});
    if (yes_no_answers.empty()) return false;
    const bool yes = yes_no_answers.front();
    yes_no_answers.pop_front();
    return yes;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : shown) texts.push_back(s.text);
    return texts;
  }
  std::vector<Shown> shown;
  std::deque<bool> retry_answers;
  std::deque<PromptAnswer> prompt_answers;
  std::deque<bool> yes_no_answers;
};

// The settings of one test live in their own folder.
class SettingsFolder {
 public:
  SettingsFolder() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
  }
  QString FilePath() const { return dir_.filePath("Talveri/Duplane.conf"); }
  bool Exists() const { return QFile::exists(FilePath()); }
  void Set(const char* name, const QString& value) {
    QSettings store(kSettingsOrganization, kSettingsApplication);
    store.setValue(name, value);
  }
  QString Get(const char* name) const {
    QSettings store(kSettingsOrganization, kSettingsApplication);
    return store.value(name).toString();
  }

 private:
  QTemporaryDir dir_;
};

// A Remote Module serving `directory` as drive C: on its end of the cable;
// with `parent_listed_late` its searches report ".." after two directories.
class RemoteThread {
 public:
  RemoteThread(std::unique_ptr<VirtualCable> end, const std::string& directory,
               bool parent_listed_late = false)
      : end_(std::move(end)), files_({{'C', directory}}, /*confine=*/true) {
    thread_ = std::thread([this, parent_listed_late] {
      RemoteSession session(*end_, kDefaultPortBase, [this](const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back(line);
      });
      CommandDispatcher dispatcher(session.link_layer(), files_);
      LateParentSearches late(session.link_layer(), files_);
      session.Serve(
          stop_,
          [&](std::uint8_t code) {
            return parent_listed_late ? late.Handle(code) : dispatcher.Handle(code);
          },
          nullptr);
    });
  }
  ~RemoteThread() {
    stop_ = true;
    thread_.join();
  }
  bool Logged(const std::string& line) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& l : log_) {
      if (l == line) return true;
    }
    return false;
  }

 private:
  std::unique_ptr<VirtualCable> end_;
  LocalFileSystem files_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> log_;
  std::thread thread_;
};

// The real clock until `stepping` is set; from then on it moves one second
// each time it is read, so a link that waits for a silent cable reaches its
// 10-second time-out after a few polls.
class SteppingClock : public LinkClock {
 public:
  std::uint64_t TickCount() override {
    if (stepping) now_ += 1000;
    return SystemClock().TickCount() + now_;
  }
  void Sleep(std::uint32_t milliseconds) override { SystemClock().Sleep(milliseconds); }
  bool stepping = false;

 private:
  std::uint64_t now_ = 0;
};

// The program's end of a cable that can be cut: from then on the other end
// seems to stand still (the status register keeps its last value) and
// nothing written arrives.
class CuttablePort : public PortAccess {
 public:
  explicit CuttablePort(std::unique_ptr<PortAccess> inner) : inner_(std::move(inner)) {}
  std::uint8_t ReadPort(std::uint32_t address) override {
    if (!cut) last_ = inner_->ReadPort(address);
    return last_;
  }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    if (!cut) inner_->WritePort(address, value);
  }
  bool cut = false;

 private:
  std::unique_ptr<PortAccess> inner_;
  std::uint8_t last_ = 0;
};

// The link state and boxes the windows are built on, made first.
struct WindowsGround {
  explicit WindowsGround(std::vector<DriveMapping> drives)
      : local(std::move(drives), /*confine=*/true), session(local) {}
  LocalFileSystem local;
  LinkSession session;
  ScriptedBoxes boxes;
};

// The program's windows, built as the program builds them, over local drives
// given by the test and optionally a cable whose other end the test serves.
struct Windows : WindowsGround, ProgramWindows {
  explicit Windows(std::vector<DriveMapping> drives,
                   std::unique_ptr<VirtualCable> cable_end = nullptr)
      : WindowsGround(std::move(drives)),
        ProgramWindows(AttachCable(session, std::move(cable_end)), boxes, QString()) {
    form1->SetTerminateHandler([this] { ++terminations; });
  }
  static LinkSession& AttachCable(LinkSession& session, std::unique_ptr<VirtualCable> end) {
    if (end) session.AttachPort(std::move(end), kDefaultPortBase, /*fixed=*/true);
    return session;
  }
  int terminations = 0;
};

// Makes directories (paths relative to `root`, '/' separated) and files.
inline void MakeDirs(const QString& root, std::initializer_list<const char*> dirs) {
  for (const char* d : dirs) ASSERT_TRUE(QDir(root).mkpath(d)) << d;
}
inline void MakeFile(const QString& root, const char* name, int size) {
  QFile f(QDir(root).filePath(name));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
  f.write(QByteArray(size, 'x'));
}

}  // namespace duplane::testing_ui
