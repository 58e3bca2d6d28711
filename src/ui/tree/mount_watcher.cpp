#include "ui/tree/mount_watcher.h"

#include <QFile>
#include <QSocketNotifier>

namespace orvane {

MountWatcher::MountWatcher(QObject* parent, const QString& table)
    : QObject(parent), m_table(table) {
  m_settle.setSingleShot(true);
  m_settle.setInterval(150);
  connect(&m_settle, &QTimer::timeout, this, &MountWatcher::CheckNow);
  m_file = std::make_unique<CWatchedFile>(QFile::encodeName(m_table).toStdString());
  m_last = ReadTable();
  if (m_file->IsOpen() && m_table.startsWith(QLatin1String("/proc/"))) {
    // QSocketNotifier::Exception waits for POLLPRI, which is how the kernel marks a change.
    m_notifier = new QSocketNotifier(m_file->Descriptor(), QSocketNotifier::Exception, this);
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
}

QByteArray MountWatcher::ReadTable() {
  const std::string text = m_file->ReadAll();
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

void MountWatcher::CheckNow() {
  QByteArray now = ReadTable();
  if (now == m_last) return;
  m_last = now;
  emit MountsChanged();
}

}  // namespace orvane
