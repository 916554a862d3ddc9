// A hand-written Remote Module for tests of the program's remote branch: each
// step reads the request of one exchange and writes whatever answer the test
// wants, sound or not, over an in-memory virtual cable.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "link/link.h"
#include "link/link_layer.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"

namespace duplane {

class ScriptedRemote {
 public:
  using Step = std::function<void(LinkLayer& link, std::uint8_t code)>;

  // Connects at once. Without `extensions` the program never probes, as the
  // scripts of a module that knows only the plain codes hold no probe; with
  // them the first step answers the probe.
  explicit ScriptedRemote(std::vector<Step> steps, bool extensions = false);
  ~ScriptedRemote();

  Link& link() { return link_; }
  LinkLayer& program() { return program_; }
  bool done() const { return done_.load(); }

 private:
  std::pair<std::unique_ptr<VirtualCable>, std::unique_ptr<VirtualCable>> cable_;
  LinkLayer program_;
  LinkLayer remote_;
  LocalFileSystem files_;
  Link link_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Reads `request_bytes` of request, then answers with `answer`.
ScriptedRemote::Step Answer(int request_bytes, std::vector<std::uint8_t> answer,
                            std::vector<std::uint8_t>* request = nullptr);

std::vector<std::uint8_t> Le32(std::int32_t value);
std::vector<std::uint8_t> Join(std::vector<std::vector<std::uint8_t>> parts);
// A text field: its i32 count, then its bytes.
std::vector<std::uint8_t> Text(const std::string& text);

}  // namespace duplane
