// Settings of the ppdev stand-in, through its environment variables.
#include "port/standin.h"

#include <stdlib.h>
#include <unistd.h>

namespace duplane {
namespace {

const char* const kVariables[] = {"DUPLANE_STANDIN_PROC",   "DUPLANE_STANDIN_CABLE",
                                  "DUPLANE_STANDIN_END",    "DUPLANE_STANDIN_LOOPBACK",
                                  "DUPLANE_STANDIN_TEAR",   "DUPLANE_STANDIN_LOG",
                                  "DUPLANE_STANDIN_WIRING", "DUPLANE_STANDIN_FAIL"};

}  // namespace

Standin::Standin() : log_path_(proc_ / "standin.log") {
  for (const char* name : kVariables) unsetenv(name);
  setenv("DUPLANE_STANDIN_PROC", proc_.path().c_str(), 1);
  setenv("DUPLANE_STANDIN_LOG", log_path_.c_str(), 1);
}

Standin::~Standin() {
  for (const char* name : kVariables) unsetenv(name);
}

void Standin::AddPort(int index, std::uint16_t base, const std::string& modes) {
  const std::string dir = proc_ / ("parport" + std::to_string(index));
  // The kernel's format: the base and the upper base (ECP registers), tab apart.
  WriteFile(dir + "/base-addr", std::to_string(base) + "\t" + std::to_string(base + 0x400) + "\n");
  WriteFile(dir + "/modes", modes + "\n");
  WriteFile(dir + "/devices/active", "none\n");
}

void Standin::RegisterDriver(int index, const std::string& name, bool active) {
  const std::string devices = proc_ / ("parport" + std::to_string(index) + "/devices");
  MakeDir(devices + "/" + name);
  if (active) WriteFile(devices + "/active", name + "\n");
}

void Standin::WireToCable(const std::string& path, int end, const std::string& wiring) {
  unsetenv("DUPLANE_STANDIN_LOOPBACK");
  setenv("DUPLANE_STANDIN_WIRING", wiring.c_str(), 1);
  setenv("DUPLANE_STANDIN_CABLE", path.c_str(), 1);
  setenv("DUPLANE_STANDIN_END", std::to_string(end).c_str(), 1);
}

void Standin::WireLoopback(const std::string& wiring) {
  setenv("DUPLANE_STANDIN_LOOPBACK", wiring.c_str(), 1);
}

void Standin::FailStatusReads(bool on) {
  if (on) {
    setenv("DUPLANE_STANDIN_FAIL", "PPRSTATUS", 1);
  } else {
    unsetenv("DUPLANE_STANDIN_FAIL");
  }
}

void Standin::TearStatusReads(bool on) { setenv("DUPLANE_STANDIN_TEAR", on ? "1" : "0", 1); }

std::string Standin::Log() const { return Exists(log_path_) ? ReadFile(log_path_) : ""; }

}  // namespace duplane
