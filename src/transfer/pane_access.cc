#include "transfer/pane_access.h"

#include "transfer/transfer_queue.h"

namespace duplane {

PaneSelection SelectionOf(const TPane& pane, const std::string& file_spec,
                          const std::function<bool(std::int32_t row)>& is_selected) {
  PaneSelection selection;
  selection.file_spec = file_spec;
  const auto& names = pane.Columns[kColName];
  const auto& sizes = pane.Columns[kColSize];
  const auto row_count = static_cast<std::int32_t>(names.size());
  // Special rows ("<parent>", "<root>") sit below FirstDirRow and are never
  // looked at, selected or not.
  for (std::int32_t row = pane.FirstFileRow();
       row < pane.FirstFileRow() + pane.FileCount && row < row_count; ++row) {
    if (!is_selected(row)) continue;
    const std::string size_text =
        static_cast<std::size_t>(row) < sizes.size() ? sizes[row] : std::string("0");
    selection.files.push_back({names[row], ParseInt64(size_text), false});
  }
  for (std::int32_t row = pane.FirstDirRow();
       row < pane.FirstDirRow() + pane.DirCount && row < row_count; ++row) {
    if (is_selected(row)) selection.directories.push_back({names[row], 0, true});
  }
  return selection;
}

}  // namespace duplane
