// Pane list model: texts straight from TPane::Columns; directories and the
// special rows in red, sizes right-aligned.
#include "ui/pane_list_model.h"

#include <QColor>

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
  // Never more rows than every column can answer for.
  std::size_t rows = static_cast<std::size_t>(std::max(0, pane_.RowCount()));
  for (const auto& column : pane_.Columns) rows = std::min(rows, column.size());
  return static_cast<int>(rows);
}

int PaneListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kPaneColumns;
}

QVariant PaneListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return QVariant();
  switch (role) {
    case Qt::DisplayRole:
      if (active_ && !active_()) return QString();
      return QString::fromStdString(pane_.Columns[index.column()][index.row()]);
    case Qt::ForegroundRole:
      // Directories and both special rows carry "d" in their attribute text.
      if (pane_.Columns[kColAttr][index.row()].find('d') != std::string::npos) {
        return QColor(255, 0, 0);
      }
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
