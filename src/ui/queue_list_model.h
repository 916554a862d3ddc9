// The transfer queue as a list model for the review dialogs. It holds no item
// per entry: the view asks for a row's text and colour and gets them straight
// from the queue's path list, so a queue of many thousands of entries costs
// nothing beyond the queue itself. The row count is an item count set by the
// dialog (as the queue changes only through the dialog's own unqueue).
#pragma once

#include <QAbstractListModel>

namespace duplane {

class TransferQueue;

class QueueListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit QueueListModel(QObject* parent = nullptr);

  // Shows `queue` (may be null) with the item count 0.
  void SetQueue(TransferQueue* queue);
  TransferQueue* queue() const { return queue_; }
  // The number of rows the view shows; never more than the queue holds.
  void SetItemCount(int count);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  TransferQueue* queue_ = nullptr;
  int item_count_ = 0;
};

}  // namespace duplane
