#include "engine/job_status.h"

#include "base/strings.h"
#include "base/unicode.h"

namespace orvane {
namespace {

std::int64_t TickMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Status texts the receiver gets are cut to this many characters.
constexpr std::size_t kStatusLength = 259;

}  // namespace

void CJobStatus::UpdateCounts(int dirs, int files, std::uint64_t totalSize,
                              const CListingOptions& o, const NumberFormat& nf, bool force) {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::int64_t now = TickMs();
    if (!force && now - m_lastTick < 100) return;
    m_lastTick = now;
    m_summary = GetText(5002) + ": " + FormatInteger(dirs, nf) + ", " + GetText(5001) + ": " +
                FormatInteger(files, nf) + ", " + GetText(5017) + ": " +
                FormatSize(totalSize, o.m_nSizeUnit, o.m_nSizePrecision, true, nf);
    if (!m_receiver) return;
    text = TruncateCodePoints(m_summary, kStatusLength);
  }
  m_receiver->Status(text);
}

void CJobStatus::ReportProgress(const std::string& path, std::uint64_t done, std::uint64_t total,
                                const char* label) {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::int64_t now = TickMs();
    if (now - m_lastTick < 100) return;
    m_lastTick = now;
    if (!m_receiver) return;
    const std::uint64_t t = total ? total : 1;
    text = TruncateCodePoints(
        std::string(label) + " (" + path + ") " + std::to_string(done * 100 / t) + "%",
        kStatusLength);
  }
  m_receiver->FileProgress(text, done);
}

std::string CJobStatus::Summary() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_summary;
}

}  // namespace orvane
