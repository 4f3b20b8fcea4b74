#pragma once

#include <QObject>

class QSocketNotifier;

namespace korvan {

// Turns the requests to end the process (SIGTERM, SIGINT, and SIGHUP when the terminal or session
// goes away) into a signal on the user-interface thread, where the windows can be closed in order.
// The signal handler only writes a byte into a pipe; everything else happens in the event loop.
// One watcher at a time; the previous handlers come back when it is destroyed.
class TerminationWatcher : public QObject {
  Q_OBJECT

 public:
  explicit TerminationWatcher(QObject* parent = nullptr);
  ~TerminationWatcher() override;

 signals:
  void terminationRequested(int signalNumber);

 private:
  void OnReadable();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace korvan
