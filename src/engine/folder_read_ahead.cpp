#include "engine/folder_read_ahead.h"

#include <algorithm>
#include <chrono>

namespace orvane {
namespace {

// Folders being read or read and not yet taken, at most: enough to keep the helpers busy while
// the scan records, few enough that the listings waiting stay small. Helpers that reached the
// bound go on when the scan has taken half of them, so they wake once per many folders.
constexpr int kMaxAhead = 64;
constexpr int kResumeAhead = kMaxAhead / 2;
// How often a scan waiting for a folder looks at the stop request.
constexpr auto kStopPoll = std::chrono::milliseconds(10);

}  // namespace

CFolderReadAhead::CFolderReadAhead(FolderWalker& walker, int helpers, std::function<bool()> stop)
    : m_walker(walker), m_stop(std::move(stop)) {
  for (int i = 0; i < std::max(helpers, 1); ++i) m_helpers.emplace_back([this] { HelperMain(); });
}

CFolderReadAhead::~CFolderReadAhead() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quit = true;
  }
  m_work.notify_all();
  for (std::thread& t : m_helpers) t.join();
}

void CFolderReadAhead::Request(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
      auto [slot, fresh] = m_slots.try_emplace(*it);
      if (fresh) m_queue.push_front(*it);
    }
  }
  m_work.notify_all();
}

bool CFolderReadAhead::Take(const std::string& path, std::unique_ptr<FolderListing>& out) {
  std::unique_lock<std::mutex> lock(m_mutex);
  auto it = m_slots.find(path);
  if (it == m_slots.end()) return false;
  if (it->second.state == State::kQueued) {
    m_queue.erase(std::find(m_queue.begin(), m_queue.end(), path));
    // Nobody started on it yet. While every helper is busy reading, the scan reads it itself
    // rather than wait; otherwise it goes first, and an idle helper takes it even when the
    // folders read ahead are at their bound (the scan takes none of those before this one).
    if (m_reading >= static_cast<int>(m_helpers.size())) {
      m_slots.erase(it);
      return false;
    }
    m_queue.push_front(path);
    m_urgent = true;
    m_work.notify_one();
  }
  while (it->second.state == State::kQueued || it->second.state == State::kReading) {
    if (m_stop()) {
      out.reset();
      return true;
    }
    // Rather than sleep until a helper is done with this folder, read the next one waiting.
    if (!ReadOneHere(lock)) m_done.wait_for(lock, kStopPoll);
  }
  const bool read = it->second.state == State::kReady;
  out = std::move(it->second.listing);
  m_slots.erase(it);
  --m_ahead;
  const bool resume = m_full && m_ahead <= kResumeAhead;
  if (resume) m_full = false;
  lock.unlock();
  if (resume) m_work.notify_all();
  return read;
}

bool CFolderReadAhead::ReadOneHere(std::unique_lock<std::mutex>& lock) {
  if (m_queue.empty() || m_full) return false;
  const std::string path = std::move(m_queue.front());
  m_queue.pop_front();
  m_slots[path].state = State::kReading;
  if (++m_ahead >= kMaxAhead) m_full = true;
  lock.unlock();
  std::unique_ptr<FolderListing> listing;
  const bool read = !m_stop() && m_walker.ListAhead(path, listing);
  lock.lock();
  Slot& done = m_slots[path];
  done.state = read ? State::kReady : State::kLeft;
  done.listing = std::move(listing);
  return true;
}

void CFolderReadAhead::HelperMain() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_work.wait(lock, [this] { return m_quit || (!m_queue.empty() && (!m_full || m_urgent)); });
    if (m_quit) return;
    const std::string path = std::move(m_queue.front());
    m_queue.pop_front();
    m_urgent = false;
    Slot& slot = m_slots[path];
    slot.state = State::kReading;
    if (++m_ahead >= kMaxAhead) m_full = true;
    ++m_reading;
    lock.unlock();
    std::unique_ptr<FolderListing> listing;
    const bool read = !m_stop() && m_walker.ListAhead(path, listing);
    lock.lock();
    --m_reading;
    // The slot stays where it is: only Take removes a slot that is being read.
    Slot& done = m_slots[path];
    done.state = read ? State::kReady : State::kLeft;
    done.listing = std::move(listing);
    m_done.notify_all();
  }
}

}  // namespace orvane
