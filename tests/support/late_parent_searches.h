// A Remote Module whose directory searches report ".." after the second
// directory, as a file system that keeps no order of its own may: the program
// must not rely on "." and ".." coming first. Every other request is answered
// by the real dispatcher on the same files.
#pragma once

#include <array>
#include <cstdint>
#include <deque>

#include "localfs/find_record.h"
#include "remote/command_dispatcher.h"

namespace duplane {

class LinkLayer;
class LocalFileSystem;

class LateParentSearches {
 public:
  LateParentSearches(LinkLayer& link, LocalFileSystem& files);

  // A RemoteSession request handler.
  bool Handle(std::uint8_t code);

 private:
  struct Answer {
    std::int32_t result = 0;
    FindRecord record;
  };
  // Reads the whole search at once and moves ".." behind two directories.
  void Search(std::int32_t slot, const std::string& pattern, std::int32_t mask);
  bool Reply(std::int32_t slot);

  LinkLayer& link_;
  LocalFileSystem& files_;
  CommandDispatcher dispatcher_;
  std::array<std::deque<Answer>, kSearchSlots> pending_;
};

}  // namespace duplane
