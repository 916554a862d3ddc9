#include "transfer/pane_access.h"

namespace duplane {

PaneSelection SelectionOf(const TPane& pane, const std::string& file_spec,
                          const std::function<bool(std::int32_t row)>& is_selected) {
  PaneSelection selection;
  selection.file_spec = file_spec;
  // Special rows ("<parent>", "<root>") sit below FirstDirRow and are never
  // looked at, selected or not.
  for (std::int32_t row = pane.FirstFileRow(); row < pane.FirstFileRow() + pane.FileCount; ++row) {
    const PaneRow* r = pane.RowAt(row);
    if (r == nullptr) break;
    if (is_selected(row)) selection.files.push_back({r->name, r->Bytes(), false});
  }
  for (std::int32_t row = pane.FirstDirRow(); row < pane.FirstDirRow() + pane.DirCount; ++row) {
    const PaneRow* r = pane.RowAt(row);
    if (r == nullptr) break;
    if (is_selected(row)) selection.directories.push_back({r->name, 0, true});
  }
  return selection;
}

}  // namespace duplane
