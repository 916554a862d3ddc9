// Native file-tree helpers for the transfer tests.
#include "support/file_tree.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace duplane {

namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string& tag) {
  std::string pattern = "/tmp/duplane-" + tag + "-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  // Read-only folders would keep their contents: give write back first.
  for (auto it = fs::recursive_directory_iterator(path_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string PatternBytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  std::uint32_t x = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < size; ++i) {
    x = x * 1664525u + 1013904223u;
    bytes[i] = static_cast<char>(x >> 24);
  }
  return bytes;
}

std::string TextBytes(std::size_t size, unsigned seed) {
  static const char* const kWords[] = {
      "the",    "of",     "and",   "copy",  "file",    "cable",  "remote", "disk",
      "to",     "a",      "in",    "old",   "new",     "data",   "is",     "block",
      "that",   "it",     "for",   "port",  "window",  "drive",  "with",   "on",
      "was",    "as",     "by",    "list",  "tree",    "byte",   "check",  "when",
      "letter", "report", "table", "store", "archive", "backup", "office", "budget"};
  constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);
  std::string text;
  text.reserve(size + 16);
  std::uint32_t x = seed * 2654435761u + 7;
  while (text.size() < size) {
    x = x * 1664525u + 1013904223u;
    // Skewed towards the first words, as a language is.
    const std::size_t pick = ((x >> 16) % kWordCount) * ((x >> 8) % kWordCount) / kWordCount;
    text += kWords[pick];
    text += (x & 0x1F) == 0 ? "\n" : " ";
  }
  text.resize(size);
  return text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void MakeDir(const std::string& path) { fs::create_directories(path); }

void SetTimes(const std::string& path, std::int64_t atime, std::int64_t mtime) {
  struct timespec times[2] = {{static_cast<time_t>(atime), 0}, {static_cast<time_t>(mtime), 0}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw std::runtime_error("cannot set times of " + path);
  }
}

void MakeReadOnly(const std::string& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

std::map<std::string, TreeEntry> ReadTree(const std::string& root) {
  std::map<std::string, TreeEntry> tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    struct stat st {};
    if (lstat(item.path().c_str(), &st) != 0) continue;
    TreeEntry entry;
    entry.is_dir = S_ISDIR(st.st_mode);
    entry.mode = st.st_mode & 07777;
    entry.mtime = st.st_mtim.tv_sec;
    if (!entry.is_dir) entry.bytes = ReadFile(item.path());
    tree[fs::relative(item.path(), root).generic_string()] = std::move(entry);
  }
  return tree;
}

std::string CompareTrees(const std::string& a, const std::string& b, bool times_and_modes) {
  const auto left = ReadTree(a);
  const auto right = ReadTree(b);
  std::ostringstream diff;
  for (const auto& [name, entry] : left) {
    auto it = right.find(name);
    if (it == right.end()) {
      diff << "missing on the right: " << name << "\n";
      continue;
    }
    const TreeEntry& other = it->second;
    if (entry.is_dir != other.is_dir) diff << "kind differs: " << name << "\n";
    if (entry.bytes != other.bytes) {
      diff << "bytes differ: " << name << " (" << entry.bytes.size() << " vs " << other.bytes.size()
           << ")\n";
    }
    if (times_and_modes && !entry.is_dir) {
      if ((entry.mode & 0200) != (other.mode & 0200)) diff << "write bit differs: " << name << "\n";
      if (entry.mtime != other.mtime) diff << "mtime differs: " << name << "\n";
    }
  }
  for (const auto& [name, entry] : right) {
    if (!left.count(name)) diff << "extra on the right: " << name << "\n";
  }
  return diff.str();
}

}  // namespace duplane
