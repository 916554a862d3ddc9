// Directory panel: the front of the path goes first (the shortener of the copy
// dialogs), then the middle of the last name.
#include "ui/directory_panel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>

#include "transfer/path_shortening.h"

namespace duplane {

DirectoryPanel::DirectoryPanel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);  // a directory may be called <b>
  editor_ = new QLineEdit(this);
  editor_->setFrame(false);
  editor_->hide();
  editor_->installEventFilter(this);
  connect(editor_, &QLineEdit::returnPressed, this, [this] {
    const QString typed = editor_->text().trimmed();
    EndEdit();
    if (!typed.isEmpty()) emit PathTyped(typed);
  });
}

void DirectoryPanel::BeginEdit() {
  if (!editable_) return;
  before_ = QApplication::focusWidget();
  editor_->setText(text());
  editor_->setGeometry(contentsRect());
  editor_->show();
  editor_->selectAll();
  editor_->setFocus(Qt::ShortcutFocusReason);
}

void DirectoryPanel::EndEdit() {
  if (!editor_->isVisible()) return;
  // The focus goes back where it came from before the edit disappears.
  if (editor_->hasFocus() && before_ != nullptr && before_->isVisible()) before_->setFocus();
  editor_->hide();
}

void DirectoryPanel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  BeginEdit();
}

void DirectoryPanel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  editor_->setGeometry(contentsRect());
}

bool DirectoryPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      EndEdit();
      return true;
    }
    if (event->type() == QEvent::FocusOut) editor_->hide();
  }
  return QLabel::eventFilter(watched, event);
}

void DirectoryPanel::SetText(const QString& text) {
  setText(text);
  // A tip is read as markup when it looks like some; this one never is.
  setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
}

QRect DirectoryPanel::TextArea() const {
  // Where the label itself puts its text: inside the frame, half an x in.
  const int indent = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
  return contentsRect().adjusted(margin() + indent, margin(), -margin() - indent, -margin());
}

QString DirectoryPanel::ShownText() const {
  const QString whole = text();
  const QFontMetrics metrics(font());
  const int width = TextArea().width();
  if (metrics.horizontalAdvance(whole) <= width) return whole;
  const TextWidthFn measure = [&metrics](const std::string& part) {
    return metrics.horizontalAdvance(QString::fromStdString(part));
  };
  const QString shortened =
      QString::fromStdString(ShortenPath(whole.toStdString(), width, measure));
  return metrics.elidedText(shortened, Qt::ElideMiddle, width);
}

void DirectoryPanel::paintEvent(QPaintEvent* event) {
  const QString shown = ShownText();
  if (shown == text()) {
    QLabel::paintEvent(event);  // whole, and selectable as ever
    return;
  }
  QPainter painter(this);
  drawFrame(&painter);
  style()->drawItemText(&painter, TextArea(), Qt::AlignLeft | Qt::AlignVCenter, palette(),
                        isEnabled(), shown, foregroundRole());
}

}  // namespace duplane
