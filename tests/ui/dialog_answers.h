// How the window tests answer the windows that a run opens: a look at the
// windows on every pass of the event loop, the passes of the dialogs' own
// loops and of the engines' event pumping included. A dialog is answered from
// inside its own loop as soon as it is up, so no test waits for a fixed time.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <type_traits>
#include <utility>

#include "ui/copy_move_form.h"
#include "ui/delete_form.h"
#include "ui/program_windows.h"

namespace duplane::testing_ui {

// The titles of the review dialogs, by direction or side.
namespace review_titles {
inline constexpr char kCopyLR[] = "Copy these files from Local PC to Remote PC?";
inline constexpr char kCopyRL[] = "Copy these files from Remote PC to Local PC?";
inline constexpr char kMoveLR[] = "Move these files from Local PC to Remote PC?";
inline constexpr char kMoveRL[] = "Move these files from Remote PC to Local PC?";
inline constexpr char kDeleteL[] = "Delete these files on Local PC?";
inline constexpr char kDeleteR[] = "Delete these files on Remote PC?";
}  // namespace review_titles

// Calls `look` on every pass of the event loop for as long as it lives.
class EveryPass {
 public:
  explicit EveryPass(std::function<void()> look) {
    QObject::connect(&timer_, &QTimer::timeout, std::move(look));
    timer_.start(0);
  }
  EveryPass(const EveryPass&) = delete;
  EveryPass& operator=(const EveryPass&) = delete;

 private:
  QTimer timer_;
};

// Runs `start` while `look` is called on every pass of the event loop.
inline void WhileRunning(const std::function<void()>& start, const std::function<void()>& look) {
  EveryPass pass(look);
  start();
}

// The modal window of type T in front, when one is up.
template <class T>
T* ModalShown() {
  T* shown = qobject_cast<T*>(QApplication::activeModalWidget());
  return shown != nullptr && shown->isVisible() ? shown : nullptr;
}

// Runs `run` and returns what it returns, while the first modal window of
// type T that comes up is handed to `act`. A run that shows none fails.
template <class T, class Run>
auto AnswerFirst(const std::function<void(T&)>& act, Run run) {
  bool answered = false;
  EveryPass pass([&] {
    if (answered) return;
    if (T* shown = ModalShown<T>()) {
      answered = true;
      act(*shown);
    }
  });
  const auto check = [&answered] {
    EXPECT_TRUE(answered) << "no " << T::staticMetaObject.className() << " came up";
  };
  if constexpr (std::is_void_v<decltype(run())>) {
    run();
    check();
  } else {
    auto result = run();
    check();
    return result;
  }
}

// Runs `act` inside the loop of `window` once it is shown and has become the
// active window, so the focus moves as it does for a user. The look goes
// with the window if it is never shown.
inline void WhenShown(QWidget& window, std::function<void()> act) {
  auto* look = new QTimer(&window);
  QObject::connect(look, &QTimer::timeout, [look, &window, act = std::move(act)] {
    if (!window.isVisible()) return;
    look->stop();
    look->deleteLater();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
      ADD_FAILURE() << window.objectName().toStdString() << " never became active";
      window.close();
      return;
    }
    act();
  });
  look->start(0);
}

// The review dialog (copy/move or delete) that is open, if one is.
inline QDialog* OpenReview(ProgramWindows& w) {
  if (w.copy_move_form->isVisible()) return w.copy_move_form.get();
  if (w.delete_form->isVisible()) return w.delete_form.get();
  return nullptr;
}

// Presses OK, or else Cancel, on the review dialog `review` of `w`.
inline void PressReview(ProgramWindows& w, QDialog* review, bool ok) {
  QPushButton* button = nullptr;
  if (review == w.delete_form.get()) {
    button = ok ? w.delete_form->ok_button() : w.delete_form->cancel_button();
  } else {
    button = ok ? w.copy_move_form->ok_button() : w.copy_move_form->cancel_button();
  }
  button->click();
}

}  // namespace duplane::testing_ui
