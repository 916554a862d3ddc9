// Path shortening for the dialogs' directory panels and the progress window.
#include "transfer/path_shortening.h"

namespace duplane {

namespace {

const char kEllipsisDir[] = "...\\";

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Cuts the first directory from a directory part, leaving "...\" in its place
// ("\A\B\" -> "\...\B\", "\...\B\" -> "\...\", "...\" -> "").
std::string CutFirstDir(std::string dir) {
  if (dir == "\\") return std::string();
  const bool leading = !dir.empty() && dir[0] == '\\';
  if (leading) dir.erase(0, 1);
  // Drop the ellipsis of an earlier cut. Only a real "...\" goes: a directory
  // whose own name begins with a dot keeps its name.
  if (StartsWith(dir, kEllipsisDir)) dir.erase(0, 4);
  const std::size_t slash = dir.find('\\');
  if (slash == std::string::npos) {
    dir.clear();
  } else {
    dir = kEllipsisDir + dir.substr(slash + 1);
  }
  if (leading) dir.insert(0, "\\");
  return dir;
}

}  // namespace

std::string ShortenPath(const std::string& path, int width, const TextWidthFn& text_width) {
  const std::size_t last_slash = path.rfind('\\');
  std::string dir =
      last_slash == std::string::npos ? std::string() : path.substr(0, last_slash + 1);
  const std::string name = last_slash == std::string::npos ? path : path.substr(last_slash + 1);
  std::string drive;
  if (dir.size() >= 2 && dir[1] == ':') {
    drive = dir.substr(0, 2);
    dir.erase(0, 2);
  }
  while (text_width(drive + dir + name) > width && (!drive.empty() || !dir.empty())) {
    if (dir == "\\...\\") {
      drive.clear();
      dir = kEllipsisDir;
    } else if (dir.empty()) {
      drive.clear();
    } else {
      dir = CutFirstDir(dir);
    }
  }
  return drive + dir + name;
}

std::string PanelText(const std::string& path, int panel_width, const TextWidthFn& text_width) {
  return " " + ShortenPath(path, panel_width - 10, text_width);
}

}  // namespace duplane
