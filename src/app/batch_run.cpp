#include "app/batch_run.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "base/unicode.h"
#include "engine/listing_engine.h"
#include "platform/net_provider.h"
#include "platform/temp_files.h"

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
  explicit StderrReceiver(bool show) : m_tty(show && isatty(2)) {}

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
    winsize ws{};
    std::size_t width = ioctl(2, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 1 ? ws.ws_col - 1 : 79;
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

// An unnamed temporary file for a listing to standard output: it has no name from the start, so
// nothing is left behind however the run ends. -1 when none can be made.
int OpenAnonymousFile() {
  std::string folder = GetTempFolder();
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  std::string name = folder + "orvane-XXXXXX";
  fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(name.c_str());
  return fd;
}

// Copies the whole file to standard output. False when a read or write fails.
bool CopyToStdout(int fd) {
  if (::lseek(fd, 0, SEEK_SET) != 0) return false;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(1, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
}

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

CheckedDirs CheckedDirsOfSelection(const std::map<std::string, std::string>& selection) {
  CheckedDirs dirs;
  for (const auto& [path, code] : selection)
    dirs[path] = code == "2" ? DirCheck::kAlone : DirCheck::kWithSubdirs;
  return dirs;
}

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
  int fd = OpenAnonymousFile();
  if (fd < 0) {
    result.error = "cannot make a temporary file for the listing in " + GetTempFolder();
    return result;
  }
  result =
      RunToFile(options, checkedDirs, request, "/proc/self/fd/" + std::to_string(fd), showProgress);
  if (result.ok && !CopyToStdout(fd)) {
    result.ok = false;
    result.error = "cannot write the listing to standard output";
  } else if (!result.ok && !result.cancelled) {
    result.error = "cannot write the listing to a temporary file in " + GetTempFolder();
  }
  ::close(fd);
  return result;
}

}  // namespace orvane
