// One pane on its own, without the main window: the Local pane over drives
// given by the test, in a plain widget, with scripted message boxes. The pane
// reads its tree and list through the same local branch the window uses.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "transfer/search_slots.h"
#include "ui/listing_progress.h"
#include "ui/pane_controller.h"
#include "ui/pane_host.h"
#include "ui_test_support.h"

namespace duplane::testing_ui {

class LonePane : public PaneHost {
 public:
  explicit LonePane(std::vector<DriveMapping> drives)
      : local_(std::move(drives), /*confine=*/true), session_(local_) {
    pane_ = std::make_unique<PaneController>(Side::kLocal, *this, &window_);
    pane_->FillDriveTree();
    window_.resize(400, 500);
    pane_->controls().panel->resize(window_.size());
    window_.show();
  }
  ~LonePane() override { pane_.reset(); }

  PaneController& pane() { return *pane_; }
  QWidget& window() { return window_; }
  int long_operations() const { return long_operations_; }

  Link& link() override { return session_.link(); }
  bool connected() const override { return false; }
  MessageBoxes& boxes() override { return scripted_boxes; }
  SearchSlots& search_slots() override { return slots_; }
  bool remote_icons() const override { return false; }
  void LongOperationBegins() override { ++long_operations_; }
  void LongOperationEnds() override { --long_operations_; }
  std::unique_ptr<ListingProgress> ListingStarted() override { return nullptr; }
  void PageSwitched(Side) override {}

  ScriptedBoxes scripted_boxes;

 private:
  LocalFileSystem local_;
  LinkSession session_;
  SearchSlots slots_;
  QWidget window_;
  std::unique_ptr<PaneController> pane_;
  int long_operations_ = 0;
};

}  // namespace duplane::testing_ui
