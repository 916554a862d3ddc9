// Path panel: the shortening itself lives with the transfers (PanelText); this
// side only supplies the width and the font's measure.
#include "ui/path_panel.h"

#include <QEvent>
#include <QFontMetrics>

#include "transfer/path_shortening.h"

namespace duplane {

PathPanel::PathPanel(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The fitted text must never widen the panel; the panel decides the width.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  setTextFormat(Qt::PlainText);
}

void PathPanel::SetPath(const std::string& path) {
  path_ = path;
  Fit();
}

void PathPanel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Fit();
}

void PathPanel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) Fit();
}

void PathPanel::Fit() {
  if (path_.empty()) {
    setText(QString());
    return;
  }
  const QFontMetrics metrics(font());
  const TextWidthFn measure = [&metrics](const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text));
  };
  setText(QString::fromStdString(PanelText(path_, width(), measure)));
}

}  // namespace duplane
