// What every transfer operation works with: the link to both sides, the window
// (through TransferUi), the window's pool of search slots and its transfer
// queue. The window owns all four for the program's life and hands them over
// by reference for each operation.
#pragma once

#include "link/link.h"
#include "transfer/search_slots.h"
#include "transfer/transfer_queue.h"
#include "transfer/transfer_ui.h"

namespace duplane {

struct TransferContext {
  Link& link;
  TransferUi& ui;
  SearchSlots& search_slots;  // not "slots": Qt defines that word as a macro
  TransferQueue& queue;
};

inline const char* SideName(Side side) { return side == Side::kLocal ? "Local PC" : "Remote PC"; }

}  // namespace duplane
