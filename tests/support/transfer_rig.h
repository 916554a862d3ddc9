// Everything an end-to-end transfer test needs: the program's Link joined by a
// virtual cable to a Remote Module thread, each side's drive C: a temporary
// folder under /tmp, the scripted window with both panes showing a directory,
// the search slots and the transfer queue.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/link.h"
#include "support/file_tree.h"
#include "support/scripted_transfer_ui.h"
#include "transfer/transfer_context.h"

namespace duplane {

class PortAccess;

class TransferRig {
 public:
  // `port_wrapper`, when given, sits between the program's end and its cable
  // (the CRC test flips a bit there).
  TransferRig();
  ~TransferRig();

  Link& link();
  TransferContext& ctx() { return *ctx_; }
  ScriptedTransferUi ui;
  SearchSlots slots;
  TransferQueue queue;

  // The native folder behind a side's drive C:, and a native path in it from a
  // '/'-separated relative path.
  const std::string& root(bool local) const;
  std::string Native(bool local, const std::string& relative) const;

  // Makes `dir` ("C:\" or "C:\SUB") the side's current directory and its
  // pane's Path, and reads it into the pane as the window's list fill does.
  void Show(bool local, const std::string& dir = "C:\\");
  // Rereads the pane's Path into its rows (special rows, directories, files
  // matching the pane's filespec).
  void Refill(bool local);
  void Select(bool local, const std::vector<std::string>& names) { ui.SelectNames(local, names); }

  // Flips `mask` in the data register of one data-register write of the
  // sending end, `skip` writes from now: the program's end when `program_end`,
  // else the Remote Module's. One nibble arrives corrupted, the handshake is
  // untouched (the strobe bit is never in `mask`).
  void FlipDataNibble(bool program_end, std::uint64_t skip, std::uint8_t mask);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::unique_ptr<TransferContext> ctx_;
};

}  // namespace duplane
