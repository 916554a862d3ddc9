// The view of one pane's file list. Besides showing the rows it is the drag
// source and drop target between the two panes: a drag carries only which
// list it came from, never the entries, because a drop always acts on the
// source list's present selection, exactly as the Copy and Move buttons do.
#pragma once

#include <QByteArray>
#include <QTreeView>

class QMimeData;
class QPixmap;

namespace duplane {

class FileListView : public QTreeView {
  Q_OBJECT

 public:
  static constexpr char kMimeType[] = "application/x-duplane-list";

  explicit FileListView(QWidget* parent = nullptr);

  // The list whose entries this one accepts; every other drag is refused.
  void SetPeer(const FileListView* peer) { peer_ = peer; }

  // What a drag from `source` carries: this process and the source list's
  // name, so a drag from another program or another window never matches.
  static QMimeData* DragData(const FileListView& source);
  // The pointer picture of a drag: several sheets, for several items.
  static QPixmap MultiDragPixmap();
  // True when a drag carrying `data` may be dropped here.
  bool Accepts(const QMimeData* data) const;

  // The view's own Ctrl+A: the window's Select all decides which rows.
  void selectAll() override;
  // Rows marked with Insert, Space, + or - stay marked while the cursor
  // moves on with the arrow keys; a click, or a selection made empty, ends
  // that until the next mark.
  void SetMarking(bool on) { marking_ = on; }
  bool marking() const { return marking_; }

  // Type-ahead looks at names, whichever column was clicked last.
  void keyboardSearch(const QString& search) override;

 signals:
  // A drag left this list (before the platform's drag loop runs).
  void DragStarting();
  // Entries of the peer list were dropped here, with Shift held or not.
  // Queued by the window, so the confirmation dialog opens after the drag
  // has ended and the pointer is free again.
  void EntriesDropped(bool shift);
  // Ctrl+A was pressed in the list.
  void SelectAllRequested();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
  void startDrag(Qt::DropActions supported_actions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  static QByteArray Token(const FileListView& list);
  const FileListView* peer_ = nullptr;
  bool left_pressed_ = false;  // the gesture that may become a drag
  mutable bool marking_ = false;
};

}  // namespace duplane
