// How the transfer engines report progress: the busy window and the copy
// status window with their Cancel flags, the main window disabled meanwhile,
// and the event pump that lets a Cancel be pressed at all.
#pragma once

#include <cstdint>
#include <string>

namespace duplane {

class ProgressReport {
 public:
  virtual ~ProgressReport() = default;

  // Enables or disables the main window (disabled while an operation runs).
  virtual void EnableMainWindow(bool enabled) = 0;
  // Lets the window process pending events; the only time a Cancel button can
  // be pressed.
  virtual void ProcessMessages() = 0;
  // Blocks for `ms` milliseconds without processing events (the pause that
  // lets the final progress be seen). Tests make it instant.
  virtual void Pause(std::int32_t ms) = 0;
  // A monotonic clock in milliseconds for the transfer rate. The default reads
  // the steady clock; tests override it.
  virtual std::int64_t NowMs();

  // ---- Busy window (TMessageForm)

  // Sets the caption and the text of Panel1, shows the window modeless (which
  // clears its Cancel flag) and repaints it at once.
  virtual void ShowMessageForm(const std::string& caption, const std::string& text) = 0;
  // Sets Panel1's text and repaints it.
  virtual void SetMessageText(const std::string& text) = 0;
  virtual void CloseMessageForm() = 0;
  // The Cancel flag of TMessageForm (set by its Cancel button).
  virtual bool MessageCancelled() = 0;

  // ---- Progress window (TCopyStatusForm)

  // Caption e.g. "Copy from Local PC to Remote PC"; omlabel = `overwrite_text`;
  // LFile, LSource, LTarget empty; both bars 0; rate and time left unknown.
  // Shows it modeless (which clears the status cancel flag), repaints at once.
  virtual void ShowCopyStatus(const std::string& caption, const std::string& overwrite_text) = 0;
  virtual void CloseCopyStatus() = 0;
  // omlabel (the prompt's All turns it to "Always").
  virtual void SetOverwriteLabel(const std::string& text) = 0;
  // Once per file: `file_name` is the raw name for LFile, `source_dir` and
  // `target_dir` the raw directory parts for LSource and LTarget (the window
  // fits each with PanelText); `seq` is LSeq's text, e.g. "4 of 17".
  virtual void SetStatusFile(const std::string& file_name, const std::string& seq,
                             const std::string& source_dir, const std::string& target_dir) = 0;
  // ProgressBar1 ("This file") and ProgressBar2 ("All files"), each 0..100.
  virtual void SetStatusBars(std::int32_t this_file, std::int32_t all_files) = 0;
  // The transfer rate over the last seconds in bytes per second and the time
  // left for the whole run in seconds; -1 for either means not known yet.
  // FormatRate() / FormatTimeLeft() (transfer_rate.h) give the texts.
  virtual void SetStatusRate(std::int64_t bytes_per_second, std::int64_t seconds_left) = 0;
  // The status cancel flag (set by the window's Cancel button) and its reset
  // after "Finish it before stopping?" is answered Yes.
  virtual bool StatusCancelled() = 0;
  virtual void ClearStatusCancel() = 0;
};

}  // namespace duplane
