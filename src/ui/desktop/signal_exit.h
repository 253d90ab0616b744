// Ending the reader from outside: SIGTERM, SIGINT and SIGHUP become a Qt
// signal on the event loop, so the window can keep the answers and clean up
// as on a normal exit. The handler itself only writes one byte to a pipe.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace qzt::ui {

class SignalExit : public QObject {
  Q_OBJECT
 public:
  // Installs the handlers; at most one instance at a time.
  explicit SignalExit(QObject* parent = nullptr);
  // Gives the signals back their default action.
  ~SignalExit() override;

  // False where the handlers could not be installed (or on systems without
  // these signals): the reader then ends as the system ends it.
  bool installed() const { return notifier_ != nullptr; }

 signals:
  void requested(int signalNumber);

 private:
  void readPipe();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qzt::ui
