// The modal box that asks the user for one line of text (a new name, a new
// directory), and the seam through which the window asks: the program shows
// the real dialog, tests answer from a script.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace duplane {

// A caption, a one-line prompt above an edit of at most 255 characters that
// starts with the given text all selected, "OK" (default) and "Cancel".
class PromptDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxLength = 255;

  PromptDialog(const QString& caption, const QString& prompt, const QString& text,
               QWidget* parent = nullptr);

  QString text() const;
  QLineEdit* edit() const { return edit_; }
  QPushButton* ok_button() const { return ok_; }
  QPushButton* cancel_button() const { return cancel_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* prompt_;
  QLineEdit* edit_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  // The edited text when the user closed the box with "OK"; nothing otherwise.
  virtual std::optional<QString> Ask(const QString& caption, const QString& prompt,
                                     const QString& text) = 0;
};

// Shows a PromptDialog over the active window.
class DialogPrompts : public Prompts {
 public:
  std::optional<QString> Ask(const QString& caption, const QString& prompt,
                             const QString& text) override;
};

}  // namespace duplane
