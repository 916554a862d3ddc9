// The part both review dialogs share: the virtual list of the transfer queue
// (ListView1), the counts panel (nfiles, nbytes, ndirs) and "Unqueue selected"
// (Button3). TCopyMoveForm and TDeleteForm each embed one, so the list, the
// count format and the unqueue rule exist once.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;
class QTreeView;

namespace duplane {

class QueueListModel;
class TransferQueue;

class QueueReview : public QWidget {
  Q_OBJECT

 public:
  using InformationFn = std::function<void(const QString& text)>;

  explicit QueueReview(QWidget* parent = nullptr);

  // The queue shown from the next Reload on; may be null.
  void SetQueue(TransferQueue* queue);
  TransferQueue* queue() const;
  // Where "Cannot unqueue directory ..." goes; by default an information box.
  void SetInformationBox(InformationFn show) { information_box_ = std::move(show); }

  // What the dialogs do on show: item count 0, then the queue's length, and
  // the counts.
  void Reload();
  // "Unqueue selected": removes the selected entries through UnqueueSelected()
  // (unqueue.h), then resets the item count, clears the selection and shows
  // the counts again; a refusal is reported once, after the list is redrawn.
  void Button3Click();
  void ShowCounts();

  // A counter as the counts panel shows it: the locale's thousands separator,
  // no decimals ("9,999,999").
  static QString CountText(std::int64_t value);

  QTreeView* list() const { return list_; }
  QueueListModel* model() const { return model_; }

 private:
  QueueListModel* model_;
  QTreeView* list_;
  QLabel* nfiles_;
  QLabel* nbytes_;
  QLabel* ndirs_;
  QPushButton* button3_;
  InformationFn information_box_;
};

}  // namespace duplane
