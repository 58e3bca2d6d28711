#include "ui/window/screenshot.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

#include "ui/pages/options_pane.h"
#include "ui/window/main_frame.h"
#include "ui/window/preview_view.h"

namespace orvane::ui {
namespace {

void Fail(const char* text) {
  std::fprintf(stderr, "orvane: --screenshot: %s\n", text);
}

// ORVANE_SCREENSHOT_PAGE=2..4 shows another option page than the first in the picture.
void ShowChosenPage(CMainFrame& frame) {
  const int page = qEnvironmentVariableIntValue("ORVANE_SCREENSHOT_PAGE");
  if (QTabWidget* tabs = frame.OptionsPane()->Tabs(); tabs && page >= 1 && page <= tabs->count())
    tabs->setCurrentIndex(page - 1);
}

}  // namespace

bool RegionPainted(const QImage& image, const QRect& region) {
  const QRect r = region.intersected(image.rect());
  if (r.isEmpty()) return false;
  const QRgb first = image.pixel(r.topLeft());
  for (int y = r.top(); y <= r.bottom(); y += 2) {
    for (int x = r.left(); x <= r.right(); x += 2) {
      if (image.pixel(x, y) != first) return true;
    }
  }
  return false;
}

bool TakeScreenshot(CMainFrame& frame, const std::string& path, int timeoutMs) {
  bool failed = false;
  bool loaded = false;
  QEventLoop loop;
  frame.SetMessageSink([&](const QString& title, const QString& text) {
    std::fprintf(stderr, "orvane: %s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
    if (title == "Error") failed = true;
  });
  QObject::connect(&frame.Controller(), &GenerationController::finished, &loop,
                   [&](const GenerationResult& result) {
                     if (result.cancelled || result.failed) failed = true;
                   });
  QObject::connect(&frame, &CMainFrame::previewReady, &loop, [&](bool ok) {
    loaded = ok;
    failed = failed || !ok;
  });
  ShowChosenPage(frame);
  frame.show();
  if (!frame.Controller().Generating()) frame.RefreshPreview();

  // "Loaded" is not "painted": grab until the preview's area shows the page.
  QElapsedTimer clock;
  clock.start();
  QTimer tick;
  QImage picture;
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (failed || clock.elapsed() > timeoutMs) {
      loop.quit();
      return;
    }
    if (!loaded || frame.Controller().Generating()) return;
    picture = frame.grab().toImage();
    const QRect area(frame.Preview()->mapTo(&frame, QPoint(0, 0)), frame.Preview()->size());
    const qreal scale = picture.devicePixelRatio();
    const QRect scaled(area.topLeft() * scale, area.size() * scale);
    if (RegionPainted(picture, scaled.adjusted(4, 4, -4, -4)))
      loop.quit();
    else
      picture = QImage();
  });
  tick.start(200);
  loop.exec();
  frame.SetMessageSink(nullptr);
  if (failed) {
    Fail("the listing or its preview failed");
    return false;
  }
  if (picture.isNull()) {
    Fail("the preview did not show the listing in time");
    return false;
  }
  if (!picture.save(QString::fromStdString(path), "PNG")) {
    Fail("the picture could not be written");
    return false;
  }
  return true;
}

}  // namespace orvane::ui
