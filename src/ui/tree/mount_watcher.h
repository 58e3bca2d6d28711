// MountWatcher tells when a volume is mounted or unmounted, so the tree can show a USB stick as
// soon as the desktop mounts it and drop it when it goes.
//
// The kernel marks the mount table as changed with POLLPRI on an open /proc/self/mountinfo; the
// watcher reads the table again then and reports only when its text really changed, once per
// burst of changes. Where that file cannot be watched, it compares the table every few seconds.
// Lives on the thread that created it.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

#include "platform/watched_file.h"

class QSocketNotifier;

namespace orvane {

class MountWatcher : public QObject {
  Q_OBJECT

 public:
  // Watches the given mount table (tests pass a file of their own).
  explicit MountWatcher(QObject* parent = nullptr,
                        const QString& table = QStringLiteral("/proc/self/mountinfo"));
  ~MountWatcher() override;

  // Compares the table now (also done by the notifier and the fallback timer).
  void CheckNow();

 signals:
  void MountsChanged();

 private:
  QByteArray ReadTable();

  QString m_table;
  std::unique_ptr<CWatchedFile> m_file;
  QSocketNotifier* m_notifier = nullptr;
  QTimer m_settle;  // gathers a burst of changes into one report
  QTimer m_poll;    // the fallback when the table cannot be watched
  QByteArray m_last;
};

}  // namespace orvane
