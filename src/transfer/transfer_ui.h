// Everything the transfer engines need from around them, in three parts: the
// questions asked of the user, the progress shown, and the panes read. The
// window (src/ui) implements them with Qt widgets, the command line with its
// console, the tests with a script of answers. The engines never see a widget,
// and every call runs on the one user-interface thread.
#pragma once

#include "transfer/pane_access.h"
#include "transfer/progress_report.h"
#include "transfer/user_questions.h"

namespace duplane {

class TransferUi : public UserQuestions, public ProgressReport, public PaneAccess {
 public:
  ~TransferUi() override = default;

  // The Connected flag.
  virtual bool Connected() = 0;
};

}  // namespace duplane
