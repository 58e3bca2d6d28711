#include "engine/row_blocks.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "engine/write_phase.h"

namespace orvane {
namespace {

// Rows per block: enough that a block is worth a hand-over, few enough that both threads stay
// busy to the end.
constexpr std::size_t kRowsPerBlock = 1024;
// Blocks formatted ahead of the one being written, at most.
constexpr std::size_t kBlocksAhead = 16;

}  // namespace

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

CRowBlocks::CRowBlocks(CWritePhase& main, const std::vector<CDirRecord*>& dirs, int threads)
    : m_main(main), m_dirs(dirs), m_starts{0} {
  std::size_t rows = 0;
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    rows += 1 + dirs[i]->m_items.size();
    if (rows >= kRowsPerBlock || i + 1 == dirs.size()) {
      m_starts.push_back(i + 1);
      rows = 0;
    }
  }
  m_queue = std::make_unique<BlockQueue>(m_starts.size() - 1);
  for (int t = 1; t < threads && t < static_cast<int>(m_starts.size()) - 1; ++t) {
    m_phases.push_back(main.MakeFormatter());
    CWritePhase& phase = *m_phases.back();
    if (!phase.m_formatter) break;
    m_helpers.emplace_back([this, &phase] {
      try {
        for (std::size_t b = 0; m_queue->Take(b);) Format(phase, *phase.m_formatter, b);
      } catch (...) {
        if (!m_failed.exchange(true)) m_failure = std::current_exception();
        m_queue->Stop();
      }
    });
  }
}

CRowBlocks::~CRowBlocks() {
  Stop();
}

void CRowBlocks::Stop() {
  m_queue->Stop();
  for (std::thread& h : m_helpers) h.join();
  m_helpers.clear();
}

void CRowBlocks::Format(CWritePhase& phase, COvOutput& writer, std::size_t b) {
  std::string row;
  std::vector<CFileRecord*> items;
  writer.SetSink(&m_queue->Bytes(b));
  for (std::size_t i = m_starts[b]; i < m_starts[b + 1]; ++i)
    phase.WriteDirRows(writer, *m_dirs[i], row, items);
  writer.SetSink(nullptr);
  m_queue->Finish(b);
}

bool CRowBlocks::Write(COvOutput& out) {
  bool cancelled = false;
  ListingReceiver* receiver = m_main.m_status.Receiver();
  for (std::size_t b = 0; b + 1 < m_starts.size();) {
    if (m_failed) break;
    if (m_main.m_status.StopRequested()) {
      cancelled = true;
      break;
    }
    if (std::size_t mine = 0; !m_queue->IsDone(b) && m_queue->TakeNow(mine)) {
      Format(m_main, out, mine);
      continue;
    }
    if (!m_queue->WaitFor(b, std::chrono::milliseconds(10))) continue;
    if (receiver) receiver->WriteProgress(m_starts[b]);
    out.WriteBytes(m_queue->Bytes(b));
    m_queue->Written(b);
    ++b;
  }
  Stop();
  if (m_failed) std::rethrow_exception(m_failure);
  return cancelled;
}

}  // namespace orvane
