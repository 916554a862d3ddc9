// The platform's part of the virtual cable: mapping the cable file shared
// between two processes, and pausing a polling end. The register view built
// on top (virtual_cable.cc) is the same everywhere.
#pragma once

#include <cstddef>
#include <string>

namespace duplane {

// Opens the cable file (creating it, or extending a shorter one with zero
// bytes, never truncating it: the other end may have it mapped already) and
// maps its first `size` bytes shared. Null with a reason on failure.
void* MapCableFile(const std::string& path, std::size_t size, std::string* why);
void UnmapCableFile(void* view, std::size_t size);

// Gives up the rest of this time slice to whoever waits for the processor.
void GiveUpProcessor();
// Sleeps for a few microseconds, or the shortest sleep the system has.
void NapBriefly();

}  // namespace duplane
