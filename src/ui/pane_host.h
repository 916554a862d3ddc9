// What one pane needs from the window around it: the link, the message boxes,
// the search slots, the icon setting, and the window's side of a long
// directory read. The main window answers for both of its panes; a test can
// answer for a single pane without building the whole window.
#pragma once

#include <memory>

#include "link/link.h"

namespace duplane {

class ListingProgress;
class MessageBoxes;
class SearchSlots;

class PaneHost {
 public:
  virtual ~PaneHost() = default;

  // Asked afresh for every call: the window may replace its port and link.
  virtual Link& link() = 0;
  virtual bool connected() const = 0;
  virtual MessageBoxes& boxes() = 0;
  virtual SearchSlots& search_slots() = 0;
  // True when the Remote tree shows the Remote PC's own icons.
  virtual bool remote_icons() const = 0;

  // A directory read runs between these two calls as one of the window's long
  // operations (it pumps events behind its busy window).
  virtual void LongOperationBegins() = 0;
  virtual void LongOperationEnds() = 0;
  // The busy window of one directory read, counting the entries as they come;
  // null when nothing is to show.
  virtual std::unique_ptr<ListingProgress> ListingStarted() = 0;

  // The pane changed between its Tree and Files pages: the window's menus and
  // drag mode follow.
  virtual void PageSwitched(Side side) = 0;
};

}  // namespace duplane
