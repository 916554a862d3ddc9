// The Remote Module's handling of one request: reads the request fields of an
// operation code from the cable, checks every count, slot and handle before it
// is used, carries the operation out on this PC through LocalFileSystem and
// sends the answer fields back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "remote/extension_handlers.h"
#include "remote/request_io.h"

namespace duplane {

class LinkLayer;
class LocalFileSystem;

class CommandDispatcher {
 public:
  CommandDispatcher(LinkLayer& link, LocalFileSystem& files,
                    ExtensionOptions extensions = ExtensionOptions());

  // Reads the request fields of `code` (header already read and checked),
  // FinishReceive, performs it, sends the answer fields, WaitForAck. Returns
  // false when the request cannot be right (then the session drops back to
  // waiting for synchronisation).
  bool Handle(std::uint8_t code);

 private:
  bool FindAnswer(std::int32_t result, const struct FindRecord& record);
  bool PathQuery(std::uint8_t code);

  LinkLayer& link_;
  LocalFileSystem& files_;
  RequestIo io_;
  ExtensionHandlers extensions_;
  std::vector<std::uint8_t> data_;  // one transfer block, allocated once
};

}  // namespace duplane
