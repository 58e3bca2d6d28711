#include "ui/window/status_bar.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>

namespace orvane::ui {
namespace {

constexpr int kMarqueeSteps = 14;

// The idle and generating icons: a grey and a green disc.
QPixmap StateIcon(bool generating) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(60, 60, 60), 1));
  painter.setBrush(generating ? QColor(40, 170, 60) : QColor(190, 190, 190));
  painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  return pixmap;
}

// Whether one of the keyboard lights of this kind ("capslock", "numlock") is on. The kernel
// shows the lights of every keyboard under /sys/class/leds; without any, the light counts as
// off.
bool LockLightOn(const QString& kind) {
  const QDir leds("/sys/class/leds");
  const QStringList names = leds.entryList({"*::" + kind}, QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    QFile file(leds.filePath(name + "/brightness"));
    if (file.open(QIODevice::ReadOnly) && file.read(16).trimmed().toInt() > 0) return true;
  }
  return false;
}

QLabel* Indicator(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 10);
  return label;
}

}  // namespace

OrvaneStatusBar::OrvaneStatusBar(QWidget* parent)
    : QStatusBar(parent),
      m_message(new QLabel(this)),
      m_progress(new QProgressBar(this)),
      m_caps(Indicator("CAP", this)),
      m_num(Indicator("NUM", this)),
      m_icon(new QLabel(this)) {
  setSizeGripEnabled(true);
  m_message->setMinimumWidth(50);
  addWidget(m_message, 1);
  m_progress->setFixedWidth(100);
  m_progress->setTextVisible(false);
  m_progress->setRange(0, kMarqueeSteps);
  m_progress->setValue(0);
  addPermanentWidget(m_progress);
  addPermanentWidget(m_caps);
  addPermanentWidget(m_num);
  m_icon->setFixedWidth(20);
  m_icon->setAlignment(Qt::AlignCenter);
  addPermanentWidget(m_icon);
  SetGenerating(false);
  m_marquee.setInterval(100);
  connect(&m_marquee, &QTimer::timeout, this,
          [this] { m_progress->setValue((m_progress->value() + 1) % (kMarqueeSteps + 1)); });
  m_locks.setInterval(500);
  connect(&m_locks, &QTimer::timeout, this, &OrvaneStatusBar::UpdateLocks);
  m_locks.start();
  UpdateLocks();
}

void OrvaneStatusBar::ScanBegin() {
  m_progress->setRange(0, kMarqueeSteps);
  m_progress->setValue(0);
  m_marquee.start();
}

void OrvaneStatusBar::ScanEnd() {
  m_marquee.stop();
}

void OrvaneStatusBar::WriteBegin(qulonglong dirCount) {
  m_marquee.stop();
  m_progress->setRange(0, static_cast<int>(std::min<qulonglong>(dirCount, 0x7fffffff)));
  m_progress->setValue(0);
}

void OrvaneStatusBar::WriteProgress(qulonglong dirIndex) {
  m_progress->setValue(static_cast<int>(std::min<qulonglong>(dirIndex, m_progress->maximum())));
}

void OrvaneStatusBar::WriteEnd() {
  m_progress->setValue(0);
}

void OrvaneStatusBar::SetGenerating(bool generating) {
  m_bGenerating = generating;
  m_icon->setPixmap(StateIcon(generating));
  m_icon->setToolTip(generating ? "Generating the listing" : "Idle");
  if (!generating) {
    m_marquee.stop();
    m_progress->setValue(0);
  }
}

void OrvaneStatusBar::UpdateLocks() {
  // Like the lights themselves, an indicator shows its text only while its lock is on.
  m_caps->setText(LockLightOn("capslock") ? "CAP" : "");
  m_num->setText(LockLightOn("numlock") ? "NUM" : "");
}

}  // namespace orvane::ui
