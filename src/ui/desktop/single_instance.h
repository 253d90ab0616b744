// At most one reader per user: the first start listens on a local socket;
// a later start asks it to come to the front and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace qzt::ui {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // `key` names the socket; the default is per user.
  explicit SingleInstance(QString key = {}, QObject* parent = nullptr);

  // True when this is the only reader and it now listens. False when
  // another reader answered: it was sent the restore request.
  bool claim();

  QString serverName() const { return name_; }

 signals:
  // Another start asked this reader to come to the front.
  void restoreRequested();

 private:
  bool tellRunningReader();
  void acceptRequest();

  QString name_;
  QLocalServer* server_ = nullptr;
};

}  // namespace qzt::ui
