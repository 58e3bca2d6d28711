// Opening a folder of 100,000 subfolders in the directory tree: the time the reading takes, the
// time until the model holds every row, and the time until an offscreen view has laid them out.
// Also how long the interface thread was held at most while the folder was read.
//
//   tree_expand_bench [COUNT]    (run with QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "ui/tree/dir_tree_view.h"

using namespace orvane;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int count = argc > 1 ? std::stoi(argv[1]) : 100000;
  QTemporaryDir tmp;
  const std::string big = tmp.path().toStdString() + "/big";
  mkdir(big.c_str(), 0755);
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < count; ++i) {
    std::string d = big + "/Folder " + std::to_string(i);
    mkdir(d.c_str(), 0755);
    if (i % 10 == 0) mkdir((d + "/sub").c_str(), 0755);  // every tenth shows an expand button
  }
  std::printf("made %d folders in %.0f ms\n", count, double(clock.elapsed()));

  auto source = std::shared_ptr<FolderSource>(MakeSystemFolderSource());
  std::vector<SubfolderEntry> entries;
  clock.restart();
  source->ListSubfolders(big, true, entries);
  std::printf("reading with the expand-button probe: %.0f ms (%zu subfolders)\n",
              double(clock.elapsed()), entries.size());

  DirTreeView view(source, nullptr, false);
  view.resize(400, 600);
  view.show();
  view.Fill(big.substr(0, big.rfind('/')));
  QModelIndex idx = view.TreeModel()->RevealPath(big);

  // A timer that should fire every 10 ms measures how long the interface thread was held.
  qint64 longest = 0;
  QElapsedTimer tick;
  tick.start();
  QTimer beat;
  QObject::connect(&beat, &QTimer::timeout, [&] { longest = std::max(longest, tick.restart()); });
  beat.start(10);
  app.processEvents();

  clock.restart();
  view.expand(idx);  // reads the folder (off the thread, waiting at most a moment)
  const qint64 held = clock.elapsed();
  while (view.TreeModel()->rowCount(idx) < count)
    app.processEvents(QEventLoop::WaitForMoreEvents, 50);
  const qint64 rows = clock.elapsed();
  view.scrollTo(view.TreeModel()->index(count - 1, 0, idx));
  app.processEvents();
  view.repaint();
  const qint64 shown = clock.elapsed();
  app.processEvents();
  std::printf(
      "expand call returned after %lld ms; all rows in the model after %lld ms; "
      "laid out and painted at the last row after %lld ms; longest gap between 10 ms "
      "timer ticks: %lld ms\n",
      (long long)held, (long long)rows, (long long)shown, (long long)longest);
  return 0;
}
