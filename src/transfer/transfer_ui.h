// What the transfer engines need from the window and the user, as one
// interface: the window (src/ui) implements it with Qt widgets, the tests with a
// script of answers. The engines never see a widget; everything they show or ask
// goes through here, and every call runs on the one user-interface thread.
//
// Texts handed over are final (message texts, captions) unless a method says it
// wants a raw path to fit into a panel: those the window shortens itself with
// PanelText() (path_shortening.h) in its own font and panel width.
#pragma once

#include <cstdint>
#include <string>

#include "link/link.h"
#include "transfer/pane.h"

namespace duplane {

class TransferQueue;

// Options of the copy/move dialog (TCopyMoveForm), read after Ok.
struct CopyMoveOptions {
  // Overwrite: 0 "Prompt", 1 "Always", 2 "Never", 3 "Freshen", 4 "Update".
  std::int32_t overwrite = 0;
  std::string overwrite_text = "Prompt";  // the chosen item's caption, shown in omlabel
  // MoveDelete: 0 "Recycle Bin", 1 "Normal", 2 "Wipe" (the LinkDeleteFile modes).
  // Read for a copy too: an abandoned partial target goes in this mode.
  std::int32_t delete_mode = 0;
  bool remove_empty = true;  // RemoveEmpty "Delete empty directories"
};

// How the engine sets up TCopyMoveForm before its modal show.
struct CopyMoveSetup {
  // e.g. "Move these files from Remote PC to Local PC?"
  std::string caption;
  // Raw directories with a trailing backslash; the window shows each as
  // PanelText(dir, panel width, its font) in SourceDir / TargetDir.
  std::string source_dir;
  std::string target_dir;
  // MoveDelete and RemoveEmpty are enabled for a move only; disabled they keep
  // their values.
  bool move_options_enabled = false;
};

// Options of the delete dialog (TDeleteForm), read after Ok.
struct DeleteOptions {
  std::int32_t delete_mode = 0;  // DeleteMode: 0 "Recycle Bin", 1 "Normal", 2 "Wipe"
  bool remove_empty = true;      // RemoveEmpty "Delete empty directories"
};

// Answers of the overwrite question.
enum class PromptAnswer { kYes, kNo, kCancel, kAll };

class TransferUi {
 public:
  virtual ~TransferUi() = default;

  // ---- Window state and panes -------------------------------------------

  // The Connected flag.
  virtual bool Connected() = 0;
  // The information box "Not connected to Remote PC" (OK); returns when closed.
  virtual void ShowNotConnected() = 0;
  // Makes the side's pane current (its list, tree, panels) and copies the
  // text of its filespec edit into the current filespec. Returns that pane's
  // record; the engines read Path and the rows, and set tree_stale.
  virtual TPane& SelectPane(Side side) = 0;
  // The record of a side's pane without making it current (the copy engine
  // reads the target pane's Path).
  virtual TPane& Pane(Side side) = 0;
  // The current filespec as the last SelectPane took it (default "*.*").
  virtual std::string CurrentFileSpec() = 0;
  // Whether row `row` of the current pane's list is selected.
  virtual bool IsRowSelected(std::int32_t row) = 0;
  // Rereads the side's pane's Path into its list (and panels, status line).
  virtual void FillList(Side side) = 0;
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

  // ---- Message boxes ------------------------------------------------------
  // Lines within a text are separated by one carriage return ("\r").

  // Error box: title "Error", error icon, button OK.
  virtual void ErrorBox(const std::string& text) = 0;
  // Information box: title "Information", button OK.
  virtual void InfoBox(const std::string& text) = 0;
  // Confirmation box, title "Confirm", buttons Yes, No, Cancel and All; Yes is
  // the default button; Esc or closing the box answers kCancel.
  virtual PromptAnswer AskYesNoCancelAll(const std::string& text) = 0;
  // Confirmation box, title "Confirm", buttons Yes and No; Yes is the default
  // button; Esc or closing the box answers No (false).
  virtual bool AskYesNo(const std::string& text) = 0;

  // ---- Busy window (TMessageForm) -----------------------------------------

  // Sets the caption and the text of Panel1, shows the window modeless (which
  // clears its Cancel flag) and repaints it at once.
  virtual void ShowMessageForm(const std::string& caption, const std::string& text) = 0;
  // Sets Panel1's text and repaints it.
  virtual void SetMessageText(const std::string& text) = 0;
  virtual void CloseMessageForm() = 0;
  // The Cancel flag of TMessageForm (set by its Cancel button).
  virtual bool MessageCancelled() = 0;

  // ---- Review dialogs -----------------------------------------------------
  // Both show `queue` as their virtual list (directories red), its counters,
  // and run "Unqueue selected" on it through UnqueueSelected() (unqueue.h).
  // They keep the user's last choices between runs; `options` is written only
  // when the answer is Ok.

  // TCopyMoveForm: applies `setup`, shows modally (focus on Ok). True for Ok.
  virtual bool ShowCopyMoveForm(const CopyMoveSetup& setup, TransferQueue& queue,
                                CopyMoveOptions* options) = 0;
  // TDeleteForm: caption e.g. "Delete these files on Remote PC?", shows
  // modally (focus on Cancel). True for Ok.
  virtual bool ShowDeleteForm(const std::string& caption, TransferQueue& queue,
                              DeleteOptions* options) = 0;

  // ---- Progress window (TCopyStatusForm) ----------------------------------

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
