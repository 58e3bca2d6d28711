#include "engine/checksum_prefetch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "fileinfo/checksum_cache.h"

namespace orvane {

namespace {

constexpr unsigned kMaxThreads = 4;
constexpr auto kPollInterval = std::chrono::milliseconds(100);

}  // namespace

struct CChecksumPrefetch::Slot {
  enum State { kQueued, kRunning, kDone };
  std::string path;
  HashRequest want;
  State state = kQueued;
  std::atomic<bool> stop{false};  // the pass is to end (cancelled, or its row passed over)
  HashResults result;
  // The last progress of the pass, and whether the consumer has shown it (under m_mutex).
  std::uint64_t done = 0, total = 0;
  const char* label = "";
  bool fresh = false;
};

// What a pass on a pool thread reports to: the slot, read by the consumer in Take.
class CChecksumPrefetch::SlotProgress : public HashProgress {
 public:
  SlotProgress(CChecksumPrefetch& owner, Slot& slot) : m_owner(owner), m_slot(slot) {}
  void ReportProgress(const std::string&, std::uint64_t done, std::uint64_t total,
                      const char* label) override {
    {
      std::lock_guard<std::mutex> lock(m_owner.m_mutex);
      m_slot.done = done;
      m_slot.total = total;
      m_slot.label = label;
      m_slot.fresh = true;
    }
    m_owner.m_done.notify_all();
  }
  bool StopRequested() override { return m_slot.stop.load(std::memory_order_relaxed); }

 private:
  CChecksumPrefetch& m_owner;
  Slot& m_slot;
};

namespace {

// One pass; an exception (no memory for a digest's text) counts as the memory failure.
void HashFile(const CChecksumPrefetch::Hasher& hasher, const std::string& path,
              const HashRequest& want, HashProgress* progress, HashResults& out) {
  try {
    hasher(path, want, progress, out);
  } catch (const std::bad_alloc&) {
    out = HashResults();
    out.status = HashStatus::kNoMemory;
  }
}

}  // namespace

CChecksumPrefetch::CChecksumPrefetch(CChecksumCache* cache, unsigned threads, std::size_t ahead,
                                     Hasher hasher)
    : m_hasher(std::move(hasher)), m_ahead(std::max<std::size_t>(ahead, 1)) {
  if (!m_hasher)
    m_hasher = [cache](const std::string& path, const HashRequest& want, HashProgress* progress,
                       HashResults& out) { ComputeHashesCached(path, want, progress, cache, out); };
  if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
  try {
    for (unsigned i = 0; i < threads; ++i) m_pool.emplace_back([this] { Run(); });
  } catch (const std::system_error&) {
    // Fewer threads, or none: Take then hashes on the consumer's thread.
  }
}

CChecksumPrefetch::~CChecksumPrefetch() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bQuit = true;
  }
  Cancel();
  for (std::thread& t : m_pool) t.join();
}

std::size_t CChecksumPrefetch::Add(std::string path, const HashRequest& want) {
  auto slot = std::make_shared<Slot>();
  slot->path = std::move(path);
  slot->want = want;
  std::size_t ticket = 0;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slots.push_back(std::move(slot));
    ticket = m_added++;
  }
  m_work.notify_one();
  return ticket;
}

std::size_t CChecksumPrefetch::Added() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_added;
}

void CChecksumPrefetch::Cancel() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bCancelled = true;
    for (const auto& slot : m_slots) slot->stop.store(true, std::memory_order_relaxed);
  }
  m_work.notify_all();
  m_done.notify_all();
}

bool CChecksumPrefetch::CanStart() const {
  return !m_bCancelled && m_nextStart < m_added && m_nextStart < m_first + m_ahead;
}

void CChecksumPrefetch::Run() {
  for (;;) {
    std::shared_ptr<Slot> slot;
    bool alone = false;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_work.wait(lock, [this] { return m_bQuit || CanStart(); });
      if (m_bQuit) return;
      slot = m_slots[m_nextStart - m_first];
      ++m_nextStart;
      slot->state = Slot::kRunning;
      alone = ++m_running == 1 && !CanStart();
    }
    // A file hashed alone may use a second thread for its digests; side by side, each file
    // keeps to its own.
    HashRequest want = slot->want;
    want.oneThread = !alone;
    SlotProgress progress(*this, *slot);
    HashResults result;
    HashFile(m_hasher, slot->path, want, &progress, result);
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      slot->result = std::move(result);
      slot->state = Slot::kDone;
      --m_running;
    }
    m_done.notify_all();
  }
}

bool CChecksumPrefetch::Take(std::size_t ticket, HashProgress* progress, HashResults& out) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (ticket < m_first || ticket >= m_added)
    throw std::out_of_range("checksum ticket taken twice or never added");
  for (; m_first < ticket; ++m_first) {
    m_slots.front()->stop.store(true, std::memory_order_relaxed);
    m_slots.pop_front();
  }
  m_nextStart = std::max(m_nextStart, m_first);
  m_work.notify_all();  // the window moved on
  const std::shared_ptr<Slot> slot = m_slots.front();
  for (;;) {
    if (progress && slot->fresh) {
      slot->fresh = false;
      const std::uint64_t done = slot->done, total = slot->total;
      const char* label = slot->label;
      lock.unlock();
      progress->ReportProgress(slot->path, done, total, label);
      lock.lock();
    }
    if (progress && !m_bCancelled) {
      lock.unlock();
      const bool stop = progress->StopRequested();
      lock.lock();
      if (stop) {
        lock.unlock();
        Cancel();
        lock.lock();
      }
    }
    if (m_bCancelled || slot->state == Slot::kDone) break;
    if (slot->state == Slot::kQueued && m_pool.empty()) {
      // No pool thread to be had: the file is hashed here.
      slot->state = Slot::kRunning;
      lock.unlock();
      HashFile(m_hasher, slot->path, slot->want, progress, slot->result);
      lock.lock();
      slot->state = Slot::kDone;
      break;
    }
    m_done.wait_for(lock, kPollInterval);
  }
  const bool ready = slot->state == Slot::kDone;
  m_slots.pop_front();
  ++m_first;
  m_nextStart = std::max(m_nextStart, m_first);
  lock.unlock();
  m_work.notify_all();
  if (!ready) {
    out = HashResults();
    out.status = HashStatus::kCancelled;
    return true;
  }
  out = std::move(slot->result);  // the pass has ended: its thread no longer touches it
  return out.status == HashStatus::kCancelled;
}

}  // namespace orvane
