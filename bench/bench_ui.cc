// The benchmarks' window.
#include "bench_ui.h"

#include <cstdio>

namespace duplane {

void BenchUi::Show(Side side, Link& link, const std::vector<Row>& rows) {
  link.LinkChDir(side, "C:\\");
  TPane& pane = Pane(side);
  pane.Path = link.LinkGetDir(side, kCurrentDrive);
  pane.Rows.clear();
  pane.SpecialCount = pane.DirCount = pane.FileCount = 0;
  // Directories first, then files, as the list keeps them.
  for (bool dirs : {true, false}) {
    for (const Row& row : rows) {
      if (row.is_dir != dirs) continue;
      pane.Rows.push_back({row.name, dirs ? RowKind::kDirectory : RowKind::kFile,
                           dirs ? 0 : static_cast<std::uint64_t>(row.size)});
      ++(dirs ? pane.DirCount : pane.FileCount);
    }
  }
}

bool BenchUi::ShowCopyMoveForm(const CopyMoveSetup&, TransferQueue&, CopyMoveOptions* options) {
  options->overwrite = 1;
  options->overwrite_text = "Always";
  return true;
}

void BenchUi::Say(const std::string& text) {
  ++boxes;
  std::fprintf(stderr, "box: %s\n", text.c_str());
}

}  // namespace duplane
