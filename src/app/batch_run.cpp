#include "app/batch_run.h"

#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "engine/listing_engine.h"
#include "platform/net_provider.h"

namespace orvane {
namespace {

class StderrReceiver : public ListingReceiver {
 public:
  explicit StderrReceiver(bool show) : m_show(show), m_tty(show && isatty(2)) {}

  void Post(const ListingMessage& m) override {
    if (m.id == WM_LISTING_STATUS && m_show) {
      if (m_tty) {
        std::fprintf(stderr, "\r\033[K%s", m.text.c_str());
        m_lineOpen = true;
      } else if (m.wParam == 0) {
        m_lastStatus = m.text;
      }
    } else if (m.id == WM_LISTING_DONE) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_done = true;
      m_cancelled = m.lParam != 0;
      m_cv.notify_all();
    }
  }

  bool WaitDone() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_done; });
    return m_cancelled;
  }

  // A warning about a network place: one line of its own, whatever the status line shows.
  void Warn(const std::string& line) {
    if (m_lineOpen) std::fputs("\r\033[K", stderr);
    std::fprintf(stderr, "orvane: warning: %s\n", line.c_str());
    std::fflush(stderr);
  }

  void Finish() {
    if (m_lineOpen) std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
  }

 private:
  bool m_show, m_tty;
  bool m_lineOpen = false;
  std::string m_lastStatus;
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_done = false;
  bool m_cancelled = false;
};

}  // namespace

BatchResult RunListing(const CListingOptions& options,
                       const std::map<std::string, std::string>& checkedDirs, int request,
                       const std::string& outputPath, bool showProgress) {
  BatchResult result;
  if (outputPath.empty()) {
    result.error = "no output file was given";
    return result;
  }
  CListingEngine engine;
  StderrReceiver receiver(showProgress);
  engine.m_options = options;
  engine.m_checkedDirs = checkedDirs;
  engine.m_hNotifyWnd = &receiver;
  SetNetWarningHandler([&receiver](const std::string& line) { receiver.Warn(line); });
  struct ResetWarnings {
    ~ResetWarnings() { SetNetWarningHandler(nullptr); }
  } resetWarnings;
  if (!engine.StartGeneration(request, outputPath)) {
    result.error = "the listing could not be started";
    return result;
  }
  result.cancelled = receiver.WaitDone();
  engine.WaitReady();
  receiver.Finish();
  engine.StopGeneration();
  if (result.cancelled) {
    result.error = "the listing was cancelled";
  } else if (engine.LastWriteFailed()) {
    result.error = "cannot write the listing file " + outputPath;
  } else {
    result.ok = true;
  }
  if (showProgress && result.ok) std::fprintf(stderr, "%s\n", engine.Summary().c_str());
  return result;
}

}  // namespace orvane
