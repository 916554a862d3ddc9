#include "transfer/pane.h"

#include <limits>

namespace duplane {
namespace {

PaneRow RowOf(const FindRecord& record, RowKind kind) {
  PaneRow row;
  row.name = record.name;
  row.kind = kind;
  row.size = kind == RowKind::kFile ? record.size : 0;
  row.attributes = record.attributes;
  row.modified = record.last_write_time;
  row.accessed = record.last_access_time;
  row.created = record.creation_time;
  return row;
}

}  // namespace

std::int64_t PaneRow::Bytes() const {
  return size > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
             ? 0
             : static_cast<std::int64_t>(size);
}

PaneRow DirectoryRow(const FindRecord& record) { return RowOf(record, RowKind::kDirectory); }

PaneRow FileRow(const FindRecord& record) { return RowOf(record, RowKind::kFile); }

}  // namespace duplane
