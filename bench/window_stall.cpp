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
  qint64 generated = -1;
  QTimer tick;
  tick.setInterval(5);
  QObject::connect(&tick, &QTimer::timeout,
                   [&] { longest = std::max(longest, sinceTick.restart() - 5); });
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
    tick.start();
    frame.RefreshPreview();
  });
  app.exec();
  std::printf("longest stall of the interface thread: %lld ms\n", static_cast<long long>(longest));
  std::printf("window process memory: %ld kB resident, %ld kB at most\n", StatusKb("VmRSS:"),
              StatusKb("VmHWM:"));
  return 0;
}
