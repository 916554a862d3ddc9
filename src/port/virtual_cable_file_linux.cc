// The virtual cable file on Linux: mmap of a shared file, sched_yield and
// nanosleep while polling.
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "port/virtual_cable_file.h"

namespace duplane {

void* MapCableFile(const std::string& path, std::size_t size, std::string* why) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    *why = std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 ||
      (info.st_size < static_cast<off_t>(size) && ftruncate(fd, static_cast<off_t>(size)) != 0)) {
    *why = std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  const int map_errno = errno;
  ::close(fd);
  if (map == MAP_FAILED) {
    *why = std::strerror(map_errno);
    return nullptr;
  }
  return map;
}

void UnmapCableFile(void* view, std::size_t size) { munmap(view, size); }

void GiveUpProcessor() { sched_yield(); }

void NapBriefly() {
  timespec nap{0, 5000};
  nanosleep(&nap, nullptr);
}

}  // namespace duplane
