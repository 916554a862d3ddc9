// The one-line prompt box. It is as wide as the longer of its prompt and a
// comfortable edit, so a long old name in "Rename ... to:" stays readable, up
// to two thirds of the screen: a name of 255 characters would otherwise push
// the box and its buttons off the screen. A longer prompt loses its middle,
// keeping how it begins and ends, and shows whole as the prompt's tip.
#include "ui/prompt_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace duplane {
namespace {

constexpr int kMinimumEditWidth = 260;

int PromptWidthLimit(const QWidget* parent) {
  const QScreen* screen = parent != nullptr ? parent->screen() : QApplication::primaryScreen();
  if (screen == nullptr) return QWIDGETSIZE_MAX;
  return std::max(kMinimumEditWidth, screen->availableGeometry().width() * 2 / 3);
}

}  // namespace

PromptDialog::PromptDialog(const QString& caption, const QString& prompt, const QString& text,
                           QWidget* parent)
    : QDialog(parent) {
  setObjectName("PromptDialog");
  setWindowTitle(caption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  prompt_ = new QLabel(prompt, this);
  prompt_->setObjectName("Prompt");
  prompt_->setTextFormat(Qt::PlainText);  // names may hold '<' and '&'
  const int limit = PromptWidthLimit(parent);
  const QFontMetrics metrics(prompt_->font());
  if (metrics.horizontalAdvance(prompt) > limit) {
    prompt_->setText(metrics.elidedText(prompt, Qt::ElideMiddle, limit));
    prompt_->setToolTip(Qt::convertFromPlainText(prompt, Qt::WhiteSpaceNormal));
  }
  edit_ = new QLineEdit(this);
  edit_->setObjectName("Edit");
  edit_->setMaxLength(kMaxLength);
  edit_->setText(text);
  edit_->setMinimumWidth(kMinimumEditWidth);
  prompt_->setBuddy(edit_);

  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName("OKButton");
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName("CancelButton");
  cancel_->setAutoDefault(false);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addWidget(edit_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString PromptDialog::text() const { return edit_->text(); }

void PromptDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  edit_->setFocus();
  // All of the starting text selected: typing replaces it, an arrow key keeps it.
  edit_->selectAll();
}

std::optional<QString> DialogPrompts::Ask(const QString& caption, const QString& prompt,
                                          const QString& text) {
  PromptDialog dialog(caption, prompt, text, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.text();
}

}  // namespace duplane
