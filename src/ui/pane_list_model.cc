// Pane list model: texts made from the typed rows as the view asks for them;
// directories and the special rows in red, sizes right-aligned.
#include "ui/pane_list_model.h"

#include <QColor>

#include "ui/list_texts.h"

namespace duplane {

PaneListModel::PaneListModel(TPane& pane, QObject* parent)
    : QAbstractTableModel(parent), pane_(pane) {}

QString PaneListModel::ColumnTitle(int column) {
  static const char* const kTitles[kPaneColumns] = {"Name",     "Size",     "Attr",
                                                    "Modified", "Accessed", "Created"};
  return column >= 0 && column < kPaneColumns ? QString::fromLatin1(kTitles[column]) : QString();
}

int PaneListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || cleared_) return 0;
  // Never more rows than the record holds.
  const std::size_t rows = static_cast<std::size_t>(std::max(0, pane_.RowCount()));
  return static_cast<int>(std::min(rows, pane_.Rows.size()));
}

int PaneListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kPaneColumns;
}

QVariant PaneListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  switch (role) {
    case Qt::DisplayRole:
      if (active_ && !active_()) return QString();
      return QString::fromStdString(CellText(pane_.Rows[index.row()], index.column()));
    case Qt::ForegroundRole:
      // Directories and both special rows carry the directory attribute.
      if (pane_.Rows[index.row()].attributes & kAttrDirectory) return QColor(255, 0, 0);
      return QVariant();
    case Qt::TextAlignmentRole:
      if (index.column() == kColSize) return int(Qt::AlignRight | Qt::AlignVCenter);
      return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant PaneListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return QVariant();
  if (role == Qt::DisplayRole) return ColumnTitle(section);
  if (role == Qt::TextAlignmentRole && section == kColSize) {
    return int(Qt::AlignRight | Qt::AlignVCenter);
  }
  return QVariant();
}

Qt::ItemFlags PaneListModel::flags(const QModelIndex& index) const {
  const Qt::ItemFlags base = QAbstractTableModel::flags(index);
  return index.isValid() ? base | Qt::ItemIsDragEnabled : base;
}

void PaneListModel::RowsChanged() {
  // A layout change, not a data change over every row: the tree view walks
  // each row of a dataChanged range, which costs seconds for 100,000 rows.
  emit layoutAboutToBeChanged();
  emit layoutChanged();
}

void PaneListModel::Clear() {
  beginResetModel();
  cleared_ = true;
  endResetModel();
}

void PaneListModel::EndChange() {
  cleared_ = false;
  endResetModel();
}

}  // namespace duplane
