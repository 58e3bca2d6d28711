// OrvaneStatusBar: the main window's status bar in five parts: the message, a 100-pixel
// progress bar, the caps-lock and num-lock indicators and an icon that shows whether a listing
// is being generated. While the scan runs the bar moves as a marquee (one step every 100 ms
// over 0 to 14); while the listing is written it fills smoothly, one step per directory.
// User-interface thread only.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

namespace orvane::ui {

class OrvaneStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit OrvaneStatusBar(QWidget* parent = nullptr);

  void SetMessage(const QString& text) { m_message->setText(text); }
  QString Message() const { return m_message->text(); }
  QProgressBar* Progress() const { return m_progress; }
  bool Generating() const { return m_bGenerating; }

 public slots:
  void ScanBegin();
  void ScanEnd();
  void WriteBegin(qulonglong dirCount);
  void WriteProgress(qulonglong dirIndex);
  void WriteEnd();
  void SetGenerating(bool generating);
  // Reads the keyboard's lock lights again.
  void UpdateLocks();

 private:
  QLabel* m_message;
  QProgressBar* m_progress;
  QLabel* m_caps;
  QLabel* m_num;
  QLabel* m_icon;
  QTimer m_marquee;
  QTimer m_locks;
  bool m_bGenerating = false;
};

}  // namespace orvane::ui
