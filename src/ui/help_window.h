// The program's own help: HTML pages compiled into the executable, shown in a
// browser window that the main window closes when it closes.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace duplane {

// Help context numbers of the top-level menus.
inline constexpr int kHelpContextLink = 400;
inline constexpr int kHelpContextLocalPc = 500;
inline constexpr int kHelpContextRemotePc = 600;
inline constexpr int kHelpContextHelp = 700;

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  void ShowContents();
  // An unknown context number shows the contents page.
  void ShowContext(int context);
  QString CurrentPage() const;

  static QString PageForContext(int context);

 private:
  void ShowPage(const QString& page);

  QTextBrowser* browser_;
};

}  // namespace duplane
