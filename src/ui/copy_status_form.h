// TCopyStatusForm: the modeless progress window of a copy or move. It shows the
// file being copied with its number in the run, its source and target
// directories, the overwrite mode, a bar for this file and one for the whole
// run, and the transfer rate with the time left. Its Cancel button only raises
// the status cancel flag, which the engine looks at after each block.
#pragma once

#include <cstdint>
#include <string>

#include "ui/busy_dialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace duplane {

class PathPanel;

class TCopyStatusForm : public BusyDialog {
  Q_OBJECT

 public:
  explicit TCopyStatusForm(QWidget* parent = nullptr);

  // Sets the caption and omlabel, blanks the file, source and target panels,
  // the count and the rate, puts both bars at 0, shows the window modeless
  // (which clears the cancel flag) and paints it at once.
  void ShowStatus(const std::string& caption, const std::string& overwrite_text);
  void CloseStatus();

  void SetOverwriteLabel(const std::string& text);
  // Raw texts: the window fits each path to its panel.
  void SetFile(const std::string& file_name, const std::string& seq, const std::string& source_dir,
               const std::string& target_dir);
  // Percentages, each held within 0..100.
  void SetBars(std::int32_t this_file, std::int32_t all_files);
  // Bytes per second and seconds left; negative means not known yet.
  void SetRate(std::int64_t bytes_per_second, std::int64_t seconds_left);

  // The status cancel flag.
  bool cancelled() const { return cancelled_; }
  void ClearCancel() { cancelled_ = false; }

  QPushButton* cancel_button() const { return button1_; }

  // Cancel: raises the flag and nothing else.
  void Button1Click();

 protected:
  // FormShow: a new run starts uncancelled.
  void showEvent(QShowEvent* event) override;
  // Esc is the Cancel button; it raises the flag and leaves the window open.
  void reject() override;
  // The window has no close button; should the window manager close it anyway,
  // that is a Cancel too, and the engine closes the window when it is done.
  void Cancel() override { Button1Click(); }

 private:
  PathPanel* lfile_;
  QLabel* lseq_;
  PathPanel* lsource_;
  PathPanel* ltarget_;
  QLabel* omlabel_;
  QProgressBar* progress_bar1_;
  QProgressBar* progress_bar2_;
  QLabel* lrate_;
  QLabel* ltime_left_;
  QPushButton* button1_;
  bool cancelled_ = false;
};

}  // namespace duplane
