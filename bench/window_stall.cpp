// The window while the preview of a big tree is generated: the longest time the interface
// thread's event loop was held (a 5 ms timer measures the gaps between its ticks) from the
// request until the preview has shown the listing, and the window process's memory then.
//
//   window_stall_bench TREE [html]    (run with QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <string>

#include "settings/option_pages.h"
#include "ui/window/main_frame.h"

using namespace orvane;

namespace {

// "VmRSS" or "VmHWM" of this process in kB.
long StatusKb(const char* key) {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(key))
      return line.mid(static_cast<int>(qstrlen(key)) + 1).trimmed().split(' ').value(0).toLong();
  }
  return -1;
}

// CPU time of the calling thread in ms: a stall with little CPU time was the machine's (the
// process was not scheduled), one with much was the interface thread's own work.
qint64 ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<qint64>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// Time this thread spent waiting for a processor while runnable, in ms (the kernel's
// schedstat): on a loaded machine a stall is often this wait, not the thread's own work.
qint64 RunQueueWaitMs() {
  QFile file("/proc/thread-self/schedstat");
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QList<QByteArray> fields = file.readAll().split(' ');
  return fields.size() > 1 ? fields[1].toLongLong() / 1000000 : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_stall_bench TREE [html]\n");
    return 2;
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (QFileInfo("/proc/self").ownerId() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication app(argc, argv);
  ui::FrameSetup setup;
  setup.selection = CheckedDirs{{argv[1], DirCheck::kWithSubdirs}};
  setup.homeFolder = argv[1];
  setup.previewAtStart = false;
  setup.watchMounts = false;
  ui::CMainFrame frame(setup);
  if (argc > 2 && std::string(argv[2]) == "html") frame.Pages().SetCheck(kKeyHtmlOutput, 1);
  frame.resize(1000, 720);
  frame.show();

  QElapsedTimer clock;
  QElapsedTimer sinceTick;
  qint64 longest = 0;
  qint64 longestGenerating = 0;  // until the listing is written
  qint64 generated = -1;
  qint64 longestBusy = 0;  // the interface thread's own CPU time in the longest stall
  qint64 cpuAtTick = 0;
  qint64 longestWaiting = 0;  // the time the thread waited for a processor in the longest stall
  qint64 waitAtTick = 0;
  qint64 longestWork = 0;  // the most CPU time the thread spent between two ticks
  QTimer tick;
  tick.setInterval(5);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 gap = sinceTick.restart() - 5;
    const qint64 cpu = ThreadCpuMs();
    const qint64 wait = RunQueueWaitMs();
    if (gap > longest) {
      longest = gap;
      longestBusy = cpu - cpuAtTick;
      longestWaiting = wait - waitAtTick;
    }
    longestWork = std::max(longestWork, cpu - cpuAtTick);
    cpuAtTick = cpu;
    waitAtTick = wait;
    if (generated < 0) longestGenerating = longest;
  });
  QObject::connect(&frame.Controller(), &ui::GenerationController::finished,
                   [&](const ui::GenerationResult&) { generated = clock.elapsed(); });
  QObject::connect(&frame, &ui::CMainFrame::previewReady, [&](bool ok) {
    std::printf("listing written after %lld ms, preview %s after %lld ms\n",
                static_cast<long long>(generated), ok ? "shown" : "FAILED",
                static_cast<long long>(clock.elapsed()));
    app.quit();
  });
  QTimer::singleShot(500, [&] {
    clock.start();
    sinceTick.start();
    cpuAtTick = ThreadCpuMs();
    waitAtTick = RunQueueWaitMs();
    tick.start();
    frame.RefreshPreview();
  });
  app.exec();
  std::printf(
      "longest stall of the interface thread: %lld ms, of it %lld ms its own work and %lld ms "
      "waiting for a processor (%lld ms while the listing was made)\n",
      static_cast<long long>(longest), static_cast<long long>(longestBusy),
      static_cast<long long>(longestWaiting), static_cast<long long>(longestGenerating));
  std::printf("longest work of the interface thread between two ticks: %lld ms\n",
              static_cast<long long>(longestWork));
  std::printf("window process memory: %ld kB resident, %ld kB at most\n", StatusKb("VmRSS:"),
              StatusKb("VmHWM:"));
  return 0;
}
