// Everything an end-to-end transfer test needs: the program's Link joined by a
// virtual cable to a Remote Module (a thread, or a real duplane-remote
// process), each side's drive C: a temporary
// folder under /tmp, the scripted window with both panes showing a directory,
// the search slots and the transfer queue.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/link.h"
#include "port/port_access.h"
#include "remote/extension_handlers.h"
#include "support/file_tree.h"
#include "support/scripted_transfer_ui.h"
#include "transfer/transfer_context.h"

namespace duplane {

// The options of the copy and move dialog: an overwrite mode (its text
// follows) and the move's delete options.
CopyMoveOptions CopyOptions(std::int32_t overwrite, std::int32_t delete_mode = kDeleteNormal,
                            bool remove_empty = true);

class TransferRig {
 public:
  // Connects at once; both panes start without a directory.
  explicit TransferRig(bool remote_process = false);
  // The program's end on a port of the caller's choosing, to a Remote Module
  // the caller starts: it serves `remote_root` as drive C:, and the port
  // returned (with its base address) reaches it.
  using ExternalRemote = std::function<std::unique_ptr<PortAccess>(const std::string& remote_root,
                                                                   std::uint16_t* base)>;
  explicit TransferRig(const ExternalRemote& external);
  // An in-process Remote Module with these extensions (off: a module that
  // knows only the plain codes). `outer`, when given, wraps the program's
  // port last (a counting port, say); the port it is handed outlives it.
  using PortWrap = std::function<std::unique_ptr<PortAccess>(PortAccess& inner)>;
  explicit TransferRig(const ExtensionOptions& remote_extensions, const PortWrap& outer = {});
  ~TransferRig();

  Link& link();
  TransferContext& ctx() { return *ctx_; }
  ScriptedTransferUi ui;
  SearchSlots slots;
  TransferQueue queue;

  // The native folder behind a side's drive C:, and a native path in it from a
  // '/'-separated relative path.
  const std::string& root(Side side) const;
  std::string Native(Side side, const std::string& relative) const;

  // Makes `dir` ("C:\" or "C:\SUB") the side's current directory and its
  // pane's Path, and reads it into the pane as the window's list fill does.
  void Show(Side side, const std::string& dir = "C:\\");
  // Rereads the pane's Path into its rows (special rows, directories, files
  // matching the pane's filespec).
  void Refill(Side side);
  void Select(Side side, const std::vector<std::string>& names) { ui.SelectNames(side, names); }

  // Corrupts one nibble of data on the cable, `skip` data-register writes of
  // the program's end from now: the nibble the program sends with that write
  // when `outgoing`, else the nibble it reads after that write (not with an
  // external Remote Module). Only the
  // nibble's lowest bit flips; the strobe and so the handshake stay intact.
  void FlipDataNibble(bool outgoing, std::uint64_t skip);

  // Pulls the cable out on the program's side, or plugs it back in (not with
  // an external Remote Module): while it is out the program's writes go
  // nowhere and its next wait times out at once, answered Cancel.
  void CutCable(bool cut);
  // Synchronises with the Remote Module again, as Connect does.
  bool Reconnect();

 private:
  TransferRig(bool remote_process, const ExternalRemote& external,
              const ExtensionOptions& remote_extensions, const PortWrap& outer);

  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::unique_ptr<TransferContext> ctx_;
};

}  // namespace duplane
