// Reading the sample mix's sources from the system.
#include "sample_mix.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace duplane {
namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Repeated whole (each block is packed on its own, so a repeat gains nothing
// a block would not), then cut to `size`.
std::string Fill(const std::string& source, std::size_t size) {
  if (source.empty()) return std::string();
  std::string bytes;
  while (bytes.size() < size) bytes += source;
  bytes.resize(size);
  return bytes;
}

}  // namespace

SampleKind SampleText(std::size_t size) {
  std::string text;
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator("/usr/share/common-licenses", error)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) text += ReadWhole(file.string());
  return {"text", "LICENSES.TXT", Fill(text, size)};
}

SampleKind SampleExecutable(std::size_t size) {
  return {"executable", "BASH.EXE", Fill(ReadWhole("/bin/bash"), size)};
}

SampleKind SampleImages(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t x = 20240601;
  for (char& byte : bytes) {
    x = x * 1664525u + 1013904223u;
    byte = static_cast<char>(x >> 24);
  }
  return {"compressed images", "PHOTOS.JPG", bytes};
}

}  // namespace duplane
