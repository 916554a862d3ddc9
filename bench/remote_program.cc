// Starting, connecting and stopping a real Remote Module for the benchmarks.
#include "remote_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench_figures.h"

extern char** environ;

namespace duplane {

RemoteProgram::RemoteProgram(const std::string& exe, const std::string& remote_folder,
                             const std::string& local_folder) {
  static int serial = 0;
  cable_ = "/dev/shm/duplane-bench-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
  unlink(cable_.c_str());
  const std::string drive = "C=" + remote_folder;
  const char* const args[] = {exe.c_str(), "--cable",     cable_.c_str(),
                              "--drive",   drive.c_str(), nullptr};
  // The module's log lines would mix with the figures.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int spawned =
      posix_spawn(&pid_, exe.c_str(), &actions, nullptr, const_cast<char**>(args), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    pid_ = -1;
    return;
  }
  std::string error;
  port_ = VirtualCable::Open(cable_, 0, &error);
  if (!port_) return;
  counting_ = std::make_unique<CountingPort>(*port_, kDefaultPortBase);
  link_layer_ = std::make_unique<LinkLayer>(*counting_, kDefaultPortBase);
  local_files_ = std::make_unique<LocalFileSystem>(std::vector<DriveMapping>{{'C', local_folder}},
                                                   /*confine=*/false);
  link_ = std::make_unique<Link>(*local_files_, link_layer_.get());
}

RemoteProgram::~RemoteProgram() {
  if (link_layer_ && link_layer_->connected()) Disconnect();
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  unlink(cable_.c_str());
}

bool RemoteProgram::Connect() {
  if (!link_layer_) return false;
  // SyncRemote has no time limit of its own; the pump gives it one.
  const double deadline = Now() + 20;
  link_layer_->set_connected(true);
  link_layer_->set_cancel(false);
  link_layer_->SetPumpEvents([this, deadline] {
    if (Now() > deadline) link_layer_->set_cancel(true);
  });
  link_layer_->SyncRemote();
  link_layer_->SetPumpEvents(nullptr);
  link_layer_->set_connected(!link_layer_->cancel());
  return link_layer_->connected();
}

void RemoteProgram::Disconnect() {
  link_->LinkNop();
  link_layer_->set_connected(false);
}

ScratchFolder::ScratchFolder(const std::string& tag) {
  std::string pattern = "/tmp/duplane-bench-" + tag + "-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

void WritePatternFile(const std::string& path, std::int64_t size, unsigned seed) {
  // Written in pieces so that a large file costs no large buffer.
  std::ofstream out(path, std::ios::binary);
  std::vector<char> piece(1 << 20);
  std::uint32_t x = 12345 + seed;
  for (std::int64_t written = 0; written < size;) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(piece.size(), size - written));
    for (std::size_t i = 0; i < n; ++i)
      piece[i] = static_cast<char>((x = x * 1664525u + 1013904223u) >> 24);
    out.write(piece.data(), static_cast<std::streamsize>(n));
    written += static_cast<std::int64_t>(n);
  }
}

}  // namespace duplane
