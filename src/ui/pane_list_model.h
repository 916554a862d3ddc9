// The file list of one pane as a Qt model over the pane record's rows: the
// view asks for texts on demand and holds no item per row, so a directory of
// many thousands of entries costs nothing beyond the record.
#pragma once

#include <QAbstractTableModel>
#include <functional>

#include "transfer/pane.h"

namespace duplane {

class PaneListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit PaneListModel(TPane& pane, QObject* parent = nullptr);

  // The column captions, in column order.
  static QString ColumnTitle(int column);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Rows may be dragged (the view decides whether drags are on at all).
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Call around every change of the record's rows.
  void BeginChange() { beginResetModel(); }
  void EndChange();
  // After rows moved within the record (sorting): every text may differ.
  void RowsChanged();
  // While `active` answers false the rows show no texts.
  void SetActive(std::function<bool()> active) { active_ = std::move(active); }
  // Row count 0 until the next EndChange (the record keeps its rows).
  void Clear();

 private:
  TPane& pane_;
  bool cleared_ = false;
  std::function<bool()> active_;
};

}  // namespace duplane
