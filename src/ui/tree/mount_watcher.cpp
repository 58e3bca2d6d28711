#include "ui/tree/mount_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QSocketNotifier>

namespace orvane {

MountWatcher::MountWatcher(QObject* parent, const QString& table)
    : QObject(parent), m_table(table) {
  m_settle.setSingleShot(true);
  m_settle.setInterval(150);
  connect(&m_settle, &QTimer::timeout, this, &MountWatcher::CheckNow);
  m_fd = ::open(QFile::encodeName(m_table).constData(), O_RDONLY | O_CLOEXEC);
  m_last = ReadTable();
  if (m_fd >= 0 && m_table.startsWith(QLatin1String("/proc/"))) {
    // QSocketNotifier::Exception waits for POLLPRI, which is how the kernel marks a change.
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
      ReadTable();  // reading the table again clears the mark
      m_settle.start();
    });
  } else {
    m_poll.setInterval(3000);
    connect(&m_poll, &QTimer::timeout, this, &MountWatcher::CheckNow);
    m_poll.start();
  }
}

MountWatcher::~MountWatcher() {
  delete m_notifier;
  if (m_fd >= 0) ::close(m_fd);
}

QByteArray MountWatcher::ReadTable() {
  QByteArray text;
  if (m_fd >= 0) {
    ::lseek(m_fd, 0, SEEK_SET);
    char buf[8192];
    for (ssize_t n; (n = ::read(m_fd, buf, sizeof buf)) > 0;) text.append(buf, n);
  }
  return text;
}

void MountWatcher::CheckNow() {
  QByteArray now = ReadTable();
  if (now == m_last) return;
  m_last = now;
  emit MountsChanged();
}

}  // namespace orvane
