#include "app/batch_run.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "base/unicode.h"
#include "engine/listing_engine.h"
#include "platform/net_provider.h"
#include "platform/temp_files.h"
#include "platform/terminal.h"

namespace orvane {
namespace {

// "512 bytes", "3.4 MB" (1 MB = 1,048,576 bytes).
std::string BytesText(std::int64_t bytes) {
  if (bytes < 1048576) return std::to_string(bytes) + " bytes";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1048576.0);
  return text;
}

// The status line on a terminal: the counts of the scan so far and, while a checksum pass runs,
// the file being read with its bytes done. Nothing is shown when stderr is not a terminal.
class StderrReceiver : public ListingReceiver {
 public:
  explicit StderrReceiver(bool show) : m_tty(show && StderrIsTerminal()) {}

  void Status(const std::string& counts) override {
    if (!m_tty) return;
    m_counts = counts;
    Show(m_counts);
  }

  void FileProgress(const std::string& text, std::uint64_t bytesDone) override {
    if (!m_tty) return;
    Show(m_counts + (m_counts.empty() ? "" : " | ") + text + ", " +
         BytesText(static_cast<std::int64_t>(bytesDone)) + " read");
  }

  void Message(const std::string& text) override {
    if (m_lineOpen) std::fputs("\r\033[K", stderr);
    m_lineOpen = false;
    std::fprintf(stderr, "orvane: %s\n", text.c_str());
  }

  void Done(ListingRequest, bool cancelled) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_done = true;
    m_cancelled = cancelled;
    m_cv.notify_all();
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
  // Rewrites the line in place, cut to the terminal's width so that it never wraps.
  void Show(const std::string& text) {
    const std::size_t columns = StderrColumns();
    const std::size_t width = columns > 1 ? columns - 1 : 79;
    std::fprintf(stderr, "\r\033[K%s", TruncateCodePoints(text, width).c_str());
    std::fflush(stderr);
    m_lineOpen = true;
  }

  bool m_tty;
  bool m_lineOpen = false;
  std::string m_counts;
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_done = false;
  bool m_cancelled = false;
};

CListingResult RunToFile(const CListingOptions& options, const CheckedDirs& checkedDirs,
                         ListingRequest request, const std::string& outputPath, bool showProgress) {
  CListingResult result;
  StderrReceiver receiver(showProgress);
  CListingEngine engine(&receiver);
  ListingJob job;
  job.options = options;
  job.checkedDirs = checkedDirs;
  job.request = request;
  job.outputPath = outputPath;
  SetNetWarningHandler([&receiver](const std::string& line) { receiver.Warn(line); });
  struct ResetWarnings {
    ~ResetWarnings() { SetNetWarningHandler(nullptr); }
  } resetWarnings;
  if (!engine.StartGeneration(std::move(job))) {
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
    result.error = engine.LastError().empty() ? "cannot write the listing file " + outputPath
                                              : engine.LastError();
  } else {
    result.ok = true;
  }
  if (showProgress && result.ok) std::fprintf(stderr, "%s\n", engine.Summary().c_str());
  return result;
}

}  // namespace

CListingResult RunListing(const CListingOptions& options, const CheckedDirs& checkedDirs,
                          ListingRequest request, const std::string& outputPath,
                          bool showProgress) {
  if (outputPath.empty()) {
    CListingResult result;
    result.error = "no output file was given";
    return result;
  }
  if (outputPath != "-") return RunToFile(options, checkedDirs, request, outputPath, showProgress);

  // The listing is written to an unnamed file and copied out once it is complete, so a listing
  // that fails or is cancelled halfway puts nothing on standard output.
  CListingResult result;
  AnonymousFile file(GetTempFolder());
  if (!file.IsOpen()) {
    result.error = "cannot make a temporary file for the listing in " + GetTempFolder();
    return result;
  }
  result = RunToFile(options, checkedDirs, request, file.Path(), showProgress);
  if (result.ok && !file.CopyToStdout()) {
    result.ok = false;
    result.error = "cannot write the listing to standard output";
  } else if (!result.ok && !result.cancelled && result.error.empty()) {
    result.error = "cannot write the listing to a temporary file in " + GetTempFolder();
  }
  return result;
}

}  // namespace orvane
