// libFuzzer target for the Remote Module's request decoding. The input is the
// stream of nibbles the program would put on the cable; a port that always
// shows the strobe the module waits for feeds it to a real LinkLayer, so one
// thread runs whole requests (the extension codes' among them) through
// CommandDispatcher against a confined folder. Besides the sanitizers, a file
// outside that folder must never change.
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "link/extension_codes.h"
#include "link/link.h"
#include "link/link_layer.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "remote/command_dispatcher.h"

namespace duplane {
namespace {

class FeedPort : public PortAccess {
 public:
  FeedPort(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  void Attach(LinkLayer* link) { link_ = link; }

  std::uint8_t ReadPort(std::uint32_t address) override {
    if (address != kDefaultPortBase + 1u) return 0xFF;
    return static_cast<std::uint8_t>(link_->expected_ack() | (nibble_ << 3));
  }
  // Every write of the module's moves the "program" on by one nibble; once the
  // input is used up the program has gone away.
  void WritePort(std::uint32_t address, std::uint8_t) override {
    if (address != kDefaultPortBase) return;
    if (next_ >= 2 * size_) {
      link_->set_connected(false);
      return;
    }
    const std::uint8_t byte = data_[next_ / 2];
    nibble_ = (next_ % 2 == 0) ? (byte & 0x0F) : (byte >> 4);
    ++next_;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t next_ = 0;
  std::uint8_t nibble_ = 0;
  LinkLayer* link_ = nullptr;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  chmod(path, 0700);
  return remove(path);
}

struct Setup;
Setup* g_setup = nullptr;

struct Setup {
  Setup() {
    char pattern[] = "/tmp/duplane-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    root = pattern;
    share = root + "/share";
    sentinel = root + "/outside/secret";
    mkdir(share.c_str(), 0755);
    mkdir((share + "/dir").c_str(), 0755);
    mkdir((root + "/outside").c_str(), 0755);
    std::ofstream(sentinel) << "secret";
    std::ofstream(share + "/file.txt") << "served";
    symlink((root + "/outside").c_str(), (share + "/out").c_str());
    symlink("../outside/secret", (share + "/link").c_str());
    setenv("XDG_DATA_HOME", (root + "/trash-home").c_str(), 1);
    files = new LocalFileSystem({{'C', share}}, true);
    g_setup = this;
    std::atexit([] { nftw(g_setup->root.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); });
  }
  std::string root, share, sentinel;
  LocalFileSystem* files;
};

}  // namespace
}  // namespace duplane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace duplane;
  static Setup* setup = new Setup();
  FeedPort port(data, size);
  LinkLayer link(port, kDefaultPortBase);
  port.Attach(&link);
  link.set_connected(true);
  CommandDispatcher dispatcher(link, *setup->files);
  // The session checks the header; here one byte is the code, so the fuzzer
  // spends its time on the request fields.
  while (link.connected()) {
    std::uint8_t code = 0;
    link.GetBlock(1, &code);
    if (!link.connected() || code == kOpNop || code == kOpUnused13 || code > kLastExtensionCode) {
      break;
    }
    if (!dispatcher.Handle(code)) break;
  }
  setup->files->CloseAll();
  struct stat info;
  if (lstat(setup->sentinel.c_str(), &info) != 0 || ReadAll(setup->sentinel) != "secret" ||
      (info.st_mode & 0777) != 0644) {
    std::fprintf(stderr, "a file outside the served folder changed\n");
    std::abort();
  }
  return 0;
}
