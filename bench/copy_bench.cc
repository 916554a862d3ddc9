// Copy throughput over the virtual cable between two processes: a file copied
// by the copy engine Local -> Remote and Remote -> Local against a real
// duplane-remote, beside the raw link's SendBlock / GetBlock rate measured in
// the same run, with the peak memory (VmHWM) of both programs. Prints figures
// only; the size is the first argument (default 64 MiB).
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/link_layer.h"
#include "link/local_file_system.h"
#include "link/virtual_cable.h"
#include "transfer/copy_engine.h"

extern char** environ;

namespace {

using namespace duplane;

constexpr int kBlock = 8192;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The kilobytes of VmHWM in /proc/<pid>/status ("self" for this process).
long PeakKb(const std::string& pid) {
  std::ifstream status("/proc/" + pid + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

// The raw link in one direction against a forked partner on its own cable:
// what the copy is measured against.
double RawRate(bool to_remote, long total) {
  const std::string path = "/dev/shm/duplane-copybench-raw-" + std::to_string(getpid());
  std::string error;
  const pid_t child = fork();
  if (child == 0) {
    auto port = VirtualCable::Open(path, 1, &error);
    if (!port) _exit(1);
    LinkLayer link(*port, kDefaultPortBase);
    link.AnswerSync(nullptr);
    std::vector<std::uint8_t> block(kBlock);
    if (to_remote) {
      for (long got = 0; got < total; got += kBlock) link.GetBlock(kBlock, block.data());
      link.FinishReceive();
    } else {
      for (long sent = 0; sent < total; sent += kBlock) link.SendBlock(kBlock, block.data());
      link.WaitForAck();
    }
    _exit(0);
  }
  auto port = VirtualCable::Open(path, 0, &error);
  LinkLayer link(*port, kDefaultPortBase);
  link.set_connected(true);
  link.SyncRemote();
  std::vector<std::uint8_t> block(kBlock, 0x5A);
  const double start = Now();
  if (to_remote) {
    for (long sent = 0; sent < total; sent += kBlock) link.SendBlock(kBlock, block.data());
    link.WaitForAck();
  } else {
    for (long got = 0; got < total; got += kBlock) link.GetBlock(kBlock, block.data());
    link.FinishReceive();
  }
  const double rate = total / (Now() - start);
  waitpid(child, nullptr, 0);
  unlink(path.c_str());
  return rate;
}

// A window that selects the one file, answers Ok with "Always", and reports
// every box on standard error.
class BenchUi : public TransferUi {
 public:
  explicit BenchUi(const std::string& name) : name_(name) {}
  void Show(bool local, Link& link, std::int64_t size) {
    link.LinkChDir(local, "C:\\");
    TPane& pane = local ? local_ : remote_;
    pane.Path = link.LinkGetDir(local, 0);
    for (auto& column : pane.Columns) column.assign(1, "");
    pane.Columns[kColName][0] = name_;
    pane.Columns[kColSize][0] = std::to_string(size);
    pane.SpecialCount = pane.DirCount = 0;
    pane.FileCount = 1;
  }
  bool Connected() override { return true; }
  void ShowNotConnected() override { Say("Not connected to Remote PC"); }
  TPane& SelectPane(bool local) override { return Pane(local); }
  TPane& Pane(bool local) override { return local ? local_ : remote_; }
  std::string CurrentFileSpec() override { return "*.*"; }
  bool IsRowSelected(std::int32_t row) override { return row == 0; }
  void FillList(bool) override {}
  void EnableMainWindow(bool) override {}
  void ProcessMessages() override {}
  void Pause(std::int32_t) override {}  // not part of the transfer's time
  void ErrorBox(const std::string& text) override { Say(text); }
  void InfoBox(const std::string& text) override { summary = text; }
  PromptAnswer AskYesNoCancelAll(const std::string&) override { return PromptAnswer::kAll; }
  bool AskYesNo(const std::string&) override { return true; }
  void ShowMessageForm(const std::string&, const std::string&) override {}
  void SetMessageText(const std::string&) override {}
  void CloseMessageForm() override {}
  bool MessageCancelled() override { return false; }
  bool ShowCopyMoveForm(const CopyMoveSetup&, TransferQueue&, CopyMoveOptions* options) override {
    options->overwrite = 1;
    options->overwrite_text = "Always";
    return true;
  }
  bool ShowDeleteForm(const std::string&, TransferQueue&, DeleteOptions*) override { return false; }
  void ShowCopyStatus(const std::string&, const std::string&) override {}
  void CloseCopyStatus() override {}
  void SetOverwriteLabel(const std::string&) override {}
  void SetStatusFile(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}
  void SetStatusBars(std::int32_t, std::int32_t) override {}
  void SetStatusRate(std::int64_t, std::int64_t) override {}
  bool StatusCancelled() override { return false; }
  void ClearStatusCancel() override {}

  std::string summary;

 private:
  void Say(const std::string& text) { std::fprintf(stderr, "box: %s\n", text.c_str()); }
  std::string name_;
  TPane local_, remote_;
};

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
  std::vector<char> x(1 << 16), y(1 << 16);
  for (;;) {
    left.read(x.data(), x.size());
    right.read(y.data(), y.size());
    if (left.gcount() != right.gcount()) return false;
    if (left.gcount() == 0) return true;
    if (!std::equal(x.begin(), x.begin() + left.gcount(), y.begin())) return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long total = argc > 1 ? std::atol(argv[1]) : 64L << 20;
  const std::string remote_exe = argc > 2 ? argv[2] : DUPLANE_REMOTE_EXE;
  namespace fs = std::filesystem;
  const std::string stamp = std::to_string(getpid());
  const std::string local_dir = "/tmp/duplane-copybench-local-" + stamp;
  const std::string remote_dir = "/tmp/duplane-copybench-remote-" + stamp;
  const std::string cable = "/dev/shm/duplane-copybench-" + stamp;
  fs::create_directories(local_dir);
  fs::create_directories(remote_dir);
  const std::string name = "BIG.BIN";
  {
    // Written in pieces so the benchmark's own peak stays that of the copy.
    std::ofstream out(local_dir + "/" + name, std::ios::binary);
    std::vector<char> piece(1 << 20);
    std::uint32_t x = 12345;
    for (long written = 0; written < total; written += piece.size()) {
      for (char& c : piece) c = static_cast<char>((x = x * 1664525u + 1013904223u) >> 24);
      out.write(piece.data(), std::min<long>(piece.size(), total - written));
    }
  }

  const std::string drive = "C=" + remote_dir;
  const char* const args[] = {remote_exe.c_str(), "--cable",     cable.c_str(),
                              "--drive",          drive.c_str(), nullptr};
  pid_t remote = -1;
  if (posix_spawn(&remote, remote_exe.c_str(), nullptr, nullptr, const_cast<char**>(args),
                  environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", remote_exe.c_str());
    return 1;
  }
  std::string error;
  std::unique_ptr<VirtualCable> port;
  for (int tries = 0; tries < 100 && !port; ++tries) {
    usleep(20000);
    port = VirtualCable::Open(cable, 0, &error);
  }
  LinkLayer link_layer(*port, kDefaultPortBase);
  link_layer.set_connected(true);
  link_layer.SyncRemote();
  LocalFileSystem local_files({{'C', local_dir}}, /*confine=*/false);
  Link link(local_files, &link_layer);

  BenchUi ui(name);
  SearchSlots slots;
  TransferQueue queue;
  TransferContext ctx{link, ui, slots, queue};

  // The machine is shared and a polled handshake is at the scheduler's mercy:
  // the raw rate is taken right before and right after each copy and averaged.
  const double raw_before_to_remote = RawRate(true, total);
  ui.Show(true, link, total);
  ui.Show(false, link, 0);
  double start = Now();
  CopyFiles(ctx, /*source_is_local=*/true, /*is_move=*/false);
  const double to_remote = total / (Now() - start);
  const double raw_to_remote = (raw_before_to_remote + RawRate(true, total)) / 2;
  const std::string summary_to_remote = ui.summary;
  const bool same_to_remote = SameBytes(local_dir + "/" + name, remote_dir + "/" + name);

  fs::remove(local_dir + "/" + name);
  const double raw_before_to_program = RawRate(false, total);
  ui.Show(false, link, total);
  ui.Show(true, link, 0);
  start = Now();
  CopyFiles(ctx, /*source_is_local=*/false, /*is_move=*/false);
  const double to_program = total / (Now() - start);
  const double raw_to_program = (raw_before_to_program + RawRate(false, total)) / 2;
  const std::string summary_to_program = ui.summary;
  const bool same_to_program = SameBytes(local_dir + "/" + name, remote_dir + "/" + name);

  const long program_peak = PeakKb("self");
  const long remote_peak = PeakKb(std::to_string(remote));
  link.LinkNop();
  kill(remote, SIGTERM);
  waitpid(remote, nullptr, 0);
  unlink(cable.c_str());
  fs::remove_all(local_dir);
  fs::remove_all(remote_dir);

  std::printf("Copy engine over the virtual cable between two processes, a %ld-byte file\n", total);
  std::printf("Local -> Remote: %.0f bytes/s, raw link %.0f bytes/s, ratio %.3f (%s, %s)\n",
              to_remote, raw_to_remote, to_remote / raw_to_remote, summary_to_remote.c_str(),
              same_to_remote ? "identical" : "DIFFERENT");
  std::printf("Remote -> Local: %.0f bytes/s, raw link %.0f bytes/s, ratio %.3f (%s, %s)\n",
              to_program, raw_to_program, to_program / raw_to_program, summary_to_program.c_str(),
              same_to_program ? "identical" : "DIFFERENT");
  std::printf("peak memory (VmHWM): program %ld kB, duplane-remote %ld kB\n", program_peak,
              remote_peak);
  // Both ends poll: on a busy machine every request/answer turnaround waits for
  // a time slice, so the ratio only means something when the load is low.
  std::ifstream loadavg("/proc/loadavg");
  std::string load;
  std::getline(loadavg, load);
  std::printf("load average: %s\n", load.c_str());
  return 0;
}
