// The window's modal message boxes behind one small interface, so that every
// box the program shows can be answered by a script in the tests while the
// running program shows real Qt message boxes.
#pragma once

#include <QString>

#include "transfer/transfer_ui.h"

class QWidget;

namespace duplane {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Title "Error", one OK button.
  virtual void Error(const QString& text) = 0;
  // Title "Information", one OK button.
  virtual void Information(const QString& text) = 0;
  // Error kind with Retry and Cancel; true when the user chose Retry.
  virtual bool RetryCancel(const QString& text) = 0;
  // The two questions of a copy. A set of boxes that cannot ask (a silent one
  // for measurements) gets the answers of a user who presses Esc: nothing is
  // overwritten and the run stops.
  //
  // Title "Confirm", buttons Yes, No, Cancel and All; Yes is the default
  // button; Esc or closing the box answers Cancel.
  virtual PromptAnswer YesNoCancelAll(const QString& /*text*/) { return PromptAnswer::kCancel; }
  // Title "Confirm", buttons Yes and No; Yes is the default button; Esc or
  // closing the box answers No (false).
  virtual bool YesNo(const QString& /*text*/) { return false; }
};

// The real boxes, owned by the window that is active when they are shown.
class QtMessageBoxes : public MessageBoxes {
 public:
  void Error(const QString& text) override;
  void Information(const QString& text) override;
  bool RetryCancel(const QString& text) override;
  PromptAnswer YesNoCancelAll(const QString& text) override;
  bool YesNo(const QString& text) override;
};

}  // namespace duplane
