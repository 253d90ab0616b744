// At most one reader per user: the first start listens on a local socket;
// a later start asks it to come to the front and ends.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace qzt::ui {

// Plain Unix-domain sockets rather than Qt's network module: that module
// brings a dozen libraries (Kerberos, proxy lookup) into every start.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // `key` names the socket in the temporary directory; the default is per user.
  explicit SingleInstance(QString key = {}, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when this is the only reader and it now listens. False when
  // another reader answered: it was sent the restore request.
  bool claim();

  QString serverName() const { return name_; }

 signals:
  // Another start asked this reader to come to the front.
  void restoreRequested();

 private:
  bool tellRunningReader() const;
  bool listenAt();
  void acceptRequests();
  void readRequest(int fd, QSocketNotifier* notifier);

  QString name_;
  QString path_;
  int listenFd_ = -1;
  QSocketNotifier* listenNotifier_ = nullptr;
};

}  // namespace qzt::ui
