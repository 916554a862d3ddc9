// Queue list model: texts from the path list, directories (a trailing
// backslash) in red, everything else in the view's own colour.
#include "ui/queue_list_model.h"

#include <QColor>
#include <algorithm>
#include <climits>

#include "transfer/transfer_queue.h"

namespace duplane {

QueueListModel::QueueListModel(QObject* parent) : QAbstractListModel(parent) {}

void QueueListModel::SetQueue(TransferQueue* queue) {
  beginResetModel();
  queue_ = queue;
  item_count_ = 0;
  endResetModel();
}

void QueueListModel::SetItemCount(int count) {
  beginResetModel();
  item_count_ = count < 0 ? 0 : count;
  endResetModel();
}

int QueueListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || queue_ == nullptr) return 0;
  // The queue may have shrunk since the count was set; never offer a row the
  // path list cannot answer for.
  return std::min(item_count_, static_cast<int>(std::min<std::size_t>(queue_->size(), INT_MAX)));
}

QVariant QueueListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() != 0 || index.row() >= rowCount()) return QVariant();
  const auto row = static_cast<std::size_t>(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(queue_->path(row));
    case Qt::ForegroundRole:
      if (queue_->is_dir(row)) return QColor(255, 0, 0);
      return QVariant();
    default:
      return QVariant();
  }
}

QVariant QueueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
    return QStringLiteral("Files");
  }
  return QVariant();
}

Qt::ItemFlags QueueListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace duplane
