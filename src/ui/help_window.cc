// Help browser over the pages in the ":/help" resource.
#include "ui/help_window.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The pages live in a static library, so their resource is registered by hand
// (outside any namespace, as Qt requires).
static void InitHelpResource() { Q_INIT_RESOURCE(help); }

namespace duplane {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  InitHelpResource();
  setObjectName("HelpWindow");
  setWindowTitle(QStringLiteral("Duplane Help"));
  resize(640, 480);
  browser_ = new QTextBrowser(this);
  browser_->setSearchPaths({QStringLiteral(":/help")});
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
}

QString HelpWindow::PageForContext(int context) {
  switch (context) {
    case kHelpContextLink:
      return QStringLiteral("link.html");
    case kHelpContextLocalPc:
      return QStringLiteral("localpc.html");
    case kHelpContextRemotePc:
      return QStringLiteral("remotepc.html");
    case kHelpContextHelp:
      return QStringLiteral("help.html");
    default:
      return QStringLiteral("contents.html");
  }
}

void HelpWindow::ShowContents() { ShowPage(QStringLiteral("contents.html")); }

void HelpWindow::ShowContext(int context) { ShowPage(PageForContext(context)); }

QString HelpWindow::CurrentPage() const { return browser_->source().fileName(); }

void HelpWindow::ShowPage(const QString& page) {
  browser_->setSource(QUrl(QStringLiteral("qrc:/help/") + page));
  show();
  raise();
  activateWindow();
}

}  // namespace duplane
