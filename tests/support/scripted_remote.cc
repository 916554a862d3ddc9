// The scripted Remote Module's thread and its answer helpers.
#include "support/scripted_remote.h"

namespace duplane {

ScriptedRemote::ScriptedRemote(std::vector<Step> steps, bool extensions)
    : cable_(VirtualCable::CreatePair()),
      program_(*cable_.first, kDefaultPortBase),
      remote_(*cable_.second, kDefaultPortBase),
      files_(LocalFileSystem::DefaultDrives(), true),
      link_(files_, &program_) {
  program_.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  remote_.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  link_.SetExtensionsEnabled(extensions);
  thread_ = std::thread([this, steps] {
    const auto stopped = [this] { return stop_.load(); };
    if (!remote_.AnswerSync(stopped)) return;
    for (const Step& step : steps) {
      if (remote_.WaitForCommandStart(stopped) != LinkLayer::CommandWait::kCommand) return;
      std::uint8_t header[3];
      remote_.GetBlock(3, header);
      step(remote_, header[1]);
    }
    done_.store(true);
  });
  program_.set_connected(true);
  program_.SyncRemote();
}

ScriptedRemote::~ScriptedRemote() {
  stop_.store(true);
  remote_.set_connected(false);
  thread_.join();
}

ScriptedRemote::Step Answer(int request_bytes, std::vector<std::uint8_t> answer,
                            std::vector<std::uint8_t>* request) {
  return [=](LinkLayer& link, std::uint8_t) {
    std::vector<std::uint8_t> got(static_cast<std::size_t>(request_bytes));
    link.GetBlock(request_bytes, got.data());
    if (request != nullptr) *request = got;
    link.FinishReceive();
    link.SendBlock(static_cast<std::int32_t>(answer.size()), answer.data());
    link.WaitForAck();
  };
}

std::vector<std::uint8_t> Le32(std::int32_t value) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return bytes;
}

std::vector<std::uint8_t> Join(std::vector<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<std::uint8_t> Text(const std::string& text) {
  return Join({Le32(static_cast<std::int32_t>(text.size())),
               std::vector<std::uint8_t>(text.begin(), text.end())});
}

}  // namespace duplane
