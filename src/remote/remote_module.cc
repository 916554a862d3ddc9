// The Remote Module's assembly.
#include "remote/remote_module.h"

#include "localfs/local_file_system.h"

namespace duplane {

RemoteModule::RemoteModule(PortAccess& port, std::uint16_t base, LocalFileSystem& files,
                           RemoteSession::Log log, LinkClock& clock, ExtensionOptions extensions)
    : files_(files),
      session_(port, base, std::move(log), clock),
      dispatcher_(session_.link_layer(), files, extensions) {}

void RemoteModule::Serve(const std::atomic<bool>& stop,
                         const RemoteSession::RequestHandler& handle) {
  session_.Serve(
      stop, handle ? handle : [this](std::uint8_t code) { return dispatcher_.Handle(code); },
      // A handle or search left open by a program that went away would hold
      // its file until the module ends.
      [this] { files_.CloseAll(); });
}

}  // namespace duplane
