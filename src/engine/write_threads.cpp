// The writing pass on several threads: blocks of consecutive directories are formatted into
// bytes by the worker and by helper threads, each with a phase and a writer of its own, and
// the worker writes the finished blocks to the file in order. Blocks formatted and not yet
// written are bounded, so the listing never waits in memory as a whole.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/write_phase.h"

namespace orvane {
namespace {

// Rows per block: enough that a block is worth a hand-over, few enough that both threads stay
// busy to the end.
constexpr std::size_t kRowsPerBlock = 1024;
// Blocks formatted ahead of the one being written, at most.
constexpr std::size_t kBlocksAhead = 16;

// The blocks and who formats which, shared by the threads under one lock.
class BlockQueue {
 public:
  explicit BlockQueue(std::size_t blocks) : m_bytes(blocks), m_done(blocks, false) {}

  // The next block to format, waiting while too many are ahead of the writing; false at the
  // end or when stopped.
  bool Take(std::size_t& block) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_stop || m_next >= m_done.size() || Room(); });
    if (m_stop || m_next >= m_done.size()) return false;
    block = m_next++;
    return true;
  }
  // Like Take, but never waits: the writing thread formats only while it has room.
  bool TakeNow(std::size_t& block) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stop || m_next >= m_done.size() || !Room()) return false;
    block = m_next++;
    return true;
  }
  std::string& Bytes(std::size_t block) { return m_bytes[block]; }
  void Finish(std::size_t block) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_done[block] = true;
    }
    m_cv.notify_all();
  }
  // Waits until `block` is formatted, or for `poll` at most; true when it is.
  bool WaitFor(std::size_t block, std::chrono::milliseconds poll) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, poll, [&] { return static_cast<bool>(m_done[block]); });
  }
  bool IsDone(std::size_t block) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_done[block];
  }
  // The block was written: its bytes go, and a formatter may start one more.
  void Written(std::size_t block) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      std::string().swap(m_bytes[block]);
      m_written = block + 1;
    }
    m_cv.notify_all();
  }
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_stop = true;
    }
    m_cv.notify_all();
  }

 private:
  bool Room() const { return m_next < m_written + kBlocksAhead; }

  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::vector<std::string> m_bytes;
  std::vector<bool> m_done;
  std::size_t m_next = 0;     // the first block nobody took
  std::size_t m_written = 0;  // the blocks written to the file
  bool m_stop = false;
};

}  // namespace

bool CWritePhase::CanFormatElsewhere() const {
  return !m_context.m_bMeasuring && !m_readers.Any() && !m_job.makeWriter &&
         m_options.m_nPathForm != kPathNoDrive;
}

void CWritePhase::FormatFor(const CWritePhase& main) {
  m_context.m_strSummary = main.m_context.m_strSummary;
  m_context.m_tNow = main.m_context.m_tNow;
  SetupColumns(false);
  for (ColumnId id : kAllColumns) m_columns[id].m_nWidth = main.m_columns[id].m_nWidth;
  m_formatter = MakeWriter();
  // The writer learns from the header what its rows depend on; the header itself is not kept.
  std::string header;
  if (m_formatter) m_formatter->FormatHeader(m_columns, header);
}

bool CWritePhase::WriteDirsOnThreads(COvOutput& out, const std::vector<CDirRecord*>& dirs,
                                     int threads) {
  // Block b holds the directories from starts[b] to starts[b + 1].
  std::vector<std::size_t> starts{0};
  std::size_t rows = 0;
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    rows += 1 + dirs[i]->m_items.size();
    if (rows >= kRowsPerBlock || i + 1 == dirs.size()) {
      starts.push_back(i + 1);
      rows = 0;
    }
  }
  BlockQueue queue(starts.size() - 1);
  // Formats one block into its bytes with this phase and writer.
  auto format = [&](CWritePhase& phase, COvOutput& writer, std::size_t b) {
    std::string row;
    std::vector<CFileRecord*> items;
    writer.SetSink(&queue.Bytes(b));
    for (std::size_t i = starts[b]; i < starts[b + 1]; ++i)
      phase.WriteDirRows(writer, *dirs[i], row, items);
    writer.SetSink(nullptr);
    queue.Finish(b);
  };
  std::vector<std::unique_ptr<CWritePhase>> phases;
  std::vector<std::thread> helpers;
  std::exception_ptr failure;  // written by a failing helper before it sets `failed`
  std::atomic<bool> failed{false};
  for (int t = 1; t < threads && t < static_cast<int>(starts.size()) - 1; ++t) {
    phases.push_back(
        std::make_unique<CWritePhase>(m_job, m_services, m_readers, m_status, m_records));
    CWritePhase& phase = *phases.back();
    phase.FormatFor(*this);
    if (!phase.m_formatter) break;
    helpers.emplace_back([&, &phase = phase] {
      try {
        for (std::size_t b = 0; queue.Take(b);) format(phase, *phase.m_formatter, b);
      } catch (...) {
        if (!failed.exchange(true)) failure = std::current_exception();
        queue.Stop();
      }
    });
  }
  bool cancelled = false;
  ListingReceiver* receiver = m_status.Receiver();
  try {
    for (std::size_t b = 0; b + 1 < starts.size();) {
      if (failed) break;
      if (m_status.StopRequested()) {
        cancelled = true;
        break;
      }
      if (std::size_t mine = 0; !queue.IsDone(b) && queue.TakeNow(mine)) {
        format(*this, out, mine);
        continue;
      }
      if (!queue.WaitFor(b, std::chrono::milliseconds(10))) continue;
      if (receiver) receiver->WriteProgress(starts[b]);
      out.WriteBytes(queue.Bytes(b));
      queue.Written(b);
      ++b;
    }
  } catch (...) {
    queue.Stop();
    for (std::thread& h : helpers) h.join();
    throw;
  }
  queue.Stop();
  for (std::thread& h : helpers) h.join();
  if (failure) std::rethrow_exception(failure);
  return cancelled;
}

}  // namespace orvane
