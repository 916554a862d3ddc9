// The sunken panel under each pane that names the pane's current directory.
// A path wider than the panel loses directories from its front, then the
// middle of its last name, never that name's end: the folder one is in is
// what the panel is for. The text itself stays whole (the status line reads
// the drive from it) and shows whole as the panel's tip.
//
// A click on the panel (or Ctrl+L in its pane) turns it into an edit where a
// path can be typed: Enter hands the text to the window, Escape or leaving
// the edit forgets it.
#pragma once

#include <QLabel>
#include <QPointer>

class QLineEdit;

namespace duplane {

class DirectoryPanel : public QLabel {
  Q_OBJECT

 public:
  explicit DirectoryPanel(QWidget* parent = nullptr);

  void SetText(const QString& text);
  // What the panel draws at its present width.
  QString ShownText() const;

  // Whether a click edits the path (not while the panel names no directory).
  void SetEditable(bool editable) { editable_ = editable; }
  bool editable() const { return editable_; }
  // Shows the edit over the panel, holding the present path, all selected.
  void BeginEdit();
  QLineEdit* editor() const { return editor_; }

 signals:
  void PathTyped(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QRect TextArea() const;
  void EndEdit();

  QLineEdit* editor_ = nullptr;
  QPointer<QWidget> before_;  // had the focus before the edit
  bool editable_ = true;
};

}  // namespace duplane
