// One program per user: the first instance listens on a local socket named for
// the user; a later one finds it there, asks it to come to the front and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

namespace duplane {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // `name` defaults to one socket name per user.
  explicit SingleInstance(QString name = DefaultName(), QObject* parent = nullptr);
  ~SingleInstance() override;

  static QString DefaultName();

  // True when an earlier instance answered; it has then been asked to bring
  // its window to the front. Otherwise this instance starts listening.
  bool EarlierInstanceRuns();
  // Asks a running instance to come to the front; true when one answered.
  bool AskEarlierInstance();
  // Starts listening under the name, unless an instance that answers has it
  // (false; it has then been asked to come to the front).
  bool Listen();

  // The window an activation request from a later instance restores (when
  // minimised) or raises.
  void SetWindow(QWidget* window) { window_ = window; }

 signals:
  void Activated();

 private:
  void OnNewConnection();
  void BringToFront();

  QString name_;
  QLocalServer* server_ = nullptr;
  QWidget* window_ = nullptr;
};

}  // namespace duplane
