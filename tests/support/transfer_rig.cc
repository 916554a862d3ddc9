// The transfer tests' rig: a cable fixture over two temporary drives, a port
// wrapper that can corrupt one nibble, and a list fill for the scripted panes.
#include "support/transfer_rig.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>

#include "port/virtual_cable.h"
#include "support/cable_fixture.h"
#include "transfer/directory_listing.h"

namespace duplane {

namespace {

// Sits on the program's end of the cable and, once armed, flips the lowest
// nibble bit of one data write (outgoing) or of the status reads between one
// data write and the next (incoming: the link's polls look at bit 7 only, so
// only the nibble read of that interval is changed).
class NibbleFlipPort : public PortAccess {
 public:
  explicit NibbleFlipPort(PortAccess& inner) : inner_(inner) {}

  void Arm(bool outgoing, std::uint64_t skip) {
    outgoing_ = outgoing;
    countdown_ = static_cast<std::int64_t>(skip);
  }

  std::uint8_t ReadPort(std::uint32_t address) override {
    std::uint8_t value = inner_.ReadPort(address);
    if (address == kDefaultPortBase + 1u && flip_reads_) value ^= 0x08;
    return value;
  }

  void set_cut(bool cut) { cut_ = cut; }

  void WritePort(std::uint32_t address, std::uint8_t value) override {
    if (cut_) return;
    if (address == kDefaultPortBase) {
      flip_reads_ = false;
      if (countdown_ >= 0 && countdown_-- == 0) {
        if (outgoing_) {
          value ^= 0x01;
        } else {
          flip_reads_ = true;
        }
      }
    }
    inner_.WritePort(address, value);
  }

 private:
  PortAccess& inner_;
  bool outgoing_ = true;
  std::int64_t countdown_ = -1;
  bool flip_reads_ = false;
  bool cut_ = false;
};

// Real time, until the cable is cut: from then on every reading is the link's
// whole time-out later than the one before, so a wait gives up at once.
class CutCableClock : public LinkClock {
 public:
  void set_cut(bool cut) { cut_ = cut; }
  std::uint64_t TickCount() override {
    if (cut_) offset_ += 60000;
    return SystemClock().TickCount() + offset_;
  }
  void Sleep(std::uint32_t milliseconds) override { SystemClock().Sleep(milliseconds); }

 private:
  bool cut_ = false;
  std::uint64_t offset_ = 0;
};

bool NameLess(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) < 0;
}

}  // namespace

CopyMoveOptions CopyOptions(std::int32_t overwrite, std::int32_t delete_mode, bool remove_empty) {
  static const char* const kTexts[] = {"Prompt", "Always", "Never", "Freshen", "Update"};
  CopyMoveOptions options;
  options.overwrite = overwrite;
  options.overwrite_text = kTexts[overwrite];
  options.delete_mode = delete_mode;
  options.remove_empty = remove_empty;
  return options;
}

struct TransferRig::Impl {
  TempFolder local_root{"local"};
  TempFolder remote_root{"remote"};
  NibbleFlipPort* flip = nullptr;
  // The flip port when another port wraps it; it outlives the fixture.
  std::unique_ptr<PortAccess> wrapped_flip;
  CutCableClock clock;
  bool was_cut = false;
  std::unique_ptr<CableFixture> fixture;
};

TransferRig::TransferRig(bool remote_process)
    : TransferRig(remote_process, ExternalRemote(), ExtensionOptions(), PortWrap()) {}

TransferRig::TransferRig(const ExternalRemote& external)
    : TransferRig(false, external, ExtensionOptions(), PortWrap()) {}

TransferRig::TransferRig(const ExtensionOptions& remote_extensions, const PortWrap& outer)
    : TransferRig(false, ExternalRemote(), remote_extensions, outer) {}

TransferRig::TransferRig(bool remote_process, const ExternalRemote& external,
                         const ExtensionOptions& remote_extensions, const PortWrap& outer)
    : impl_(std::make_unique<Impl>()) {
  CableFixture::Options options;
  options.remote_extensions = remote_extensions;
  options.remote_process = remote_process;
  options.local_drives = {{'C', impl_->local_root.path()}};
  options.remote_drives = {{'C', impl_->remote_root.path()}};
  if (external) {
    options.program_port = external(impl_->remote_root.path(), &options.program_base);
  } else {
    options.wrap_program_port = [this, outer](PortAccess& inner) -> std::unique_ptr<PortAccess> {
      auto port = std::make_unique<NibbleFlipPort>(inner);
      impl_->flip = port.get();
      if (!outer) return port;
      impl_->wrapped_flip = std::move(port);
      return outer(*impl_->wrapped_flip);
    };
  }
  options.program_clock = &impl_->clock;
  impl_->fixture = std::make_unique<CableFixture>(std::move(options));
  if (!impl_->fixture->Connect()) ADD_FAILURE() << "the Remote Module did not answer";
  ctx_ = std::make_unique<TransferContext>(TransferContext{link(), ui, slots, queue});
  ui.on_fill_list = [this](Side side) { Refill(side); };
}

TransferRig::~TransferRig() {
  if (impl_->fixture->program_link().connected()) impl_->fixture->Disconnect();
  // Only a cut cable may time out.
  if (!impl_->was_cut) {
    EXPECT_TRUE(impl_->fixture->timeouts().empty()) << impl_->fixture->timeouts().front();
  }
}

Link& TransferRig::link() { return impl_->fixture->link(); }

const std::string& TransferRig::root(Side side) const {
  return side == Side::kLocal ? impl_->local_root.path() : impl_->remote_root.path();
}

std::string TransferRig::Native(Side side, const std::string& relative) const {
  return root(side) + "/" + relative;
}

void TransferRig::Show(Side side, const std::string& dir) {
  EXPECT_EQ(link().LinkChDir(side, dir), 0) << dir;
  ui.pane(side).Path = link().LinkGetDir(side, 0);
  Refill(side);
}

void TransferRig::Refill(Side side) {
  TPane& pane = ui.pane(side);
  ListingOptions options;
  options.file_spec = ui.filespec(side);
  EXPECT_EQ(ReadListing(link(), slots, side, pane.Path, options, &pane), ListingEnd::kComplete);
  // Sorted by name, as the window's list is by default.
  auto by_name = [](const PaneRow& a, const PaneRow& b) { return NameLess(a.name, b.name); };
  const auto first_dir = pane.Rows.begin() + pane.FirstDirRow();
  const auto first_file = pane.Rows.begin() + pane.FirstFileRow();
  std::stable_sort(first_dir, first_file, by_name);
  std::stable_sort(first_file, pane.Rows.end(), by_name);
}

void TransferRig::FlipDataNibble(bool outgoing, std::uint64_t skip) {
  if (impl_->flip != nullptr) impl_->flip->Arm(outgoing, skip);
}

void TransferRig::CutCable(bool cut) {
  if (impl_->flip == nullptr) {
    ADD_FAILURE() << "an external Remote Module's cable cannot be cut here";
    return;
  }
  impl_->was_cut = impl_->was_cut || cut;
  impl_->flip->set_cut(cut);
  impl_->clock.set_cut(cut);
}

bool TransferRig::Reconnect() { return impl_->fixture->Connect(); }

}  // namespace duplane
