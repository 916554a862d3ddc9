// Directory panel: the front of the path goes first (the shortener of the copy
// dialogs), then the middle of the last name.
#include "ui/directory_panel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include "transfer/path_shortening.h"

namespace duplane {

DirectoryPanel::DirectoryPanel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);  // a directory may be called <b>
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
