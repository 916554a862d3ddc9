// The kernel's list of parallel ports: one directory per port under
// /proc/sys/dev/parport, whose base-addr holds the base address (in decimal,
// then the upper base) and whose devices/ holds one entry per driver
// registered on the port besides "active", the name of the one holding it.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "port/system_ports.h"

namespace duplane {
namespace {

// Port numbers go up to the kernel's limit of 16 (PARPORT_MAX); numbers of
// removed ports leave gaps, so every one is looked at.
constexpr int kMaxPortNumber = 16;

std::string PortDir(int number) {
  return std::string(kSystemPortsRoot) + "/parport" + std::to_string(number);
}

// The whole of a small /proc file; false when it cannot be read.
bool ReadSmallFile(const std::string& path, std::string* text) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[512];
  text->clear();
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text->append(buffer, n);
  close(fd);
  return true;
}

std::string FirstWord(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t\n");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_first_of(" \t\n", start) - start);
}

}  // namespace

const char kSystemPortsRoot[] = "/proc/sys/dev/parport";

std::string NoSystemPortsText() {
  return std::string("the system lists no parallel ports in ") + kSystemPortsRoot +
         " (load the port driver: sudo modprobe parport_pc)";
}

std::vector<SystemPort> ListSystemPorts() {
  std::vector<SystemPort> ports;
  for (int number = 0; number < kMaxPortNumber; ++number) {
    std::string text;
    if (!ReadSmallFile(PortDir(number) + "/base-addr", &text)) continue;
    const std::string word = FirstWord(text);
    char* end = nullptr;
    const unsigned long base = std::strtoul(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0' || base == 0 || base > 0xFFFF) continue;
    SystemPort port;
    port.number = number;
    port.name = "parport" + std::to_string(number);
    port.base = static_cast<std::uint16_t>(base);
    if (ReadSmallFile(PortDir(number) + "/modes", &text)) port.modes = FirstWord(text);
    ports.push_back(port);
  }
  return ports;
}

std::vector<std::string> PortDrivers(int number) {
  std::vector<std::string> drivers;
  DIR* dir = opendir((PortDir(number) + "/devices").c_str());
  if (dir == nullptr) return drivers;
  for (dirent* entry; (entry = readdir(dir)) != nullptr;) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && name != "active") drivers.push_back(name);
  }
  closedir(dir);
  return drivers;
}

std::string PortHolder(int number) {
  std::string text;
  if (!ReadSmallFile(PortDir(number) + "/devices/active", &text)) return "";
  const std::string holder = FirstWord(text);
  return holder == "none" ? "" : holder;
}

}  // namespace duplane
