// The one set-up of the tests that drive the real window: the program's
// windows over a local folder, joined by an in-memory cable to a Remote
// Module thread serving another folder (or to nobody), the settings in a
// folder of their own, and the steps every such test takes to reach a list.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTreeView>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/test_ports.h"
#include "ui/pane_controls.h"
#include "ui/pane_list_model.h"
#include "ui_test_support.h"

namespace duplane::testing_ui {

struct WindowSetup {
  std::string local_dir;   // the program's drive C:
  std::string remote_dir;  // the Remote Module's drive C:; empty: nobody answers
  bool cable = true;       // false: the program has no port at all
  // The module's searches report ".." after two directories.
  bool parent_listed_late = false;
};

// The cable's far end and the link's clock: made before the windows, gone
// after them, so the module outlives every exchange the windows start.
struct FarEnd {
  explicit FarEnd(const WindowSetup& setup) {
    if (!setup.cable) return;
    auto [program_end, far_end] = VirtualCable::CreatePair();
    if (setup.remote_dir.empty()) {
      silent_end = std::move(far_end);
    } else {
      remote = std::make_unique<RemoteThread>(std::move(far_end), setup.remote_dir,
                                              setup.parent_listed_late);
    }
    auto cuttable = std::make_unique<CuttablePort>(std::move(program_end));
    port = cuttable.get();
    program_end_ = std::move(cuttable);
  }
  std::unique_ptr<PortAccess> TakeProgramEnd() { return std::move(program_end_); }

  SteeredClock clock;
  std::unique_ptr<RemoteThread> remote;      // the Remote Module, when one serves
  std::unique_ptr<VirtualCable> silent_end;  // the far end when nobody answers
  CuttablePort* port = nullptr;              // the program's end, owned by the window's link

 private:
  std::unique_ptr<PortAccess> program_end_;
};

// The windows, shown as the program shows them; at the end the main window
// is closed (unless the test closed it) before the windows and the module go.
struct ConnectedWindows : FarEnd, Windows {
  explicit ConnectedWindows(const WindowSetup& setup)
      : FarEnd(setup), Windows({{'C', setup.local_dir}}, TakeProgramEnd(), &clock) {
    form1->show();
  }
  ~ConnectedWindows() {
    if (form1->isVisible()) form1->close();
  }

  // Connect, as F2 does; true once connected.
  bool Connect() {
    form1->Connect1Click();
    return form1->connected();
  }
  // From now on the far end seems to stand still and the link's clock races,
  // so the next wait reaches its 10-second time-out after a few polls.
  void CutCable() {
    port->cut = true;
    clock.set_racing(true);
  }
};

// A test of the real window; `Base` is ::testing::Test or a parameterised one.
template <class Base = ::testing::Test>
class WindowTest : public Base {
 protected:
  WindowTest() { EnsureApplication(); }
  void TearDown() override { w_.reset(); }

  void Open(const WindowSetup& setup) { w_ = std::make_unique<ConnectedWindows>(setup); }
  TForm1& form() { return *w_->form1; }
  PaneControls& controls(Side side) { return form().Controls(side); }

  // Changes the side's directory as the tree would, and reads its list.
  void GoTo(Side side, const char* path) {
    ASSERT_EQ(form().link().LinkChDir(side, path), 0) << path;
    form().Pane(side).record().Path = form().link().LinkGetDir(side, 0);
    form().Pane(side).FillList();
  }
  QStringList Names(Side side) {
    const PaneListModel* model = controls(side).model;
    QStringList names;
    for (int r = 0; r < model->rowCount(); ++r) {
      names << model->index(r, kColName).data().toString();
    }
    return names;
  }
  // Selects exactly the rows of these names.
  void Select(Side side, const QStringList& names) {
    QTreeView* list = controls(side).list;
    list->clearSelection();
    const QStringList shown = Names(side);
    for (const QString& name : names) {
      const int row = static_cast<int>(shown.indexOf(name));
      ASSERT_GE(row, 0) << "no row " << name.toStdString();
      list->selectionModel()->select(list->model()->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  std::vector<std::string> Boxes() const { return w_->boxes.Texts(); }

  SettingsFolder settings_;
  std::unique_ptr<ConnectedWindows> w_;
};

}  // namespace duplane::testing_ui
