// The sunken panel under each pane that names the pane's current directory.
// A path wider than the panel loses directories from its front, then the
// middle of its last name, never that name's end: the folder one is in is
// what the panel is for. The text itself stays whole (the status line reads
// the drive from it) and shows whole as the panel's tip.
#pragma once

#include <QLabel>

namespace duplane {

class DirectoryPanel : public QLabel {
  Q_OBJECT

 public:
  explicit DirectoryPanel(QWidget* parent = nullptr);

  void SetText(const QString& text);
  // What the panel draws at its present width.
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect TextArea() const;
};

}  // namespace duplane
