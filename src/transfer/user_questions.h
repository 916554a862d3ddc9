// The questions the transfer engines ask the user: message boxes and the two
// review dialogs. The window answers them with modal widgets, the command line
// from its options, the tests from a script.
//
// Texts handed over are final (message texts, captions) unless a method says it
// wants a raw path to fit into a panel: those the window shortens itself with
// PanelText() (path_shortening.h) in its own font and panel width.
#pragma once

#include <cstdint>
#include <string>

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
  // SafeCopy: each file is written under a part name beside its target and
  // takes the target's place only once verified; an interrupted one is
  // resumed where the Remote Module can tell which bytes are already there.
  bool safe_copy = true;
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

class UserQuestions {
 public:
  virtual ~UserQuestions() = default;

  // The information box "Not connected to Remote PC" (OK); returns when closed.
  virtual void ShowNotConnected() = 0;

  // ---- Message boxes
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

  // ---- Review dialogs
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
};

}  // namespace duplane
