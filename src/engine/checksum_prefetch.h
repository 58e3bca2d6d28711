// CChecksumPrefetch: the checksums of the rows to come, computed ahead on a small pool of
// threads while the rows are still written one after the other.
//
// The write phase lists, in row order, the files whose digests its rows will show (Add), then
// takes the digests row by row (Take). Meanwhile the pool hashes the next files, several at
// once, at most `ahead` files beyond the row being written, so memory stays bounded: one read
// buffer (HashBufferSize) per pool thread and the small results of the files done ahead. A file
// hashed while nothing else waits may still split its digests over two threads (see
// ComputeHashes); files hashed side by side keep to one thread each.
//
// Threads: Add, Take and Cancel belong to one consumer thread (the engine's worker). The pool
// threads never call the consumer's HashProgress: Take reports the progress of the file it
// waits for and polls the stop flag on the consumer's thread, at least every 100 ms. The
// optional checksum cache is shared with the pool (it locks itself).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fileinfo/hashes.h"

namespace orvane {

class CChecksumCache;

class CChecksumPrefetch {
 public:
  // How one file is hashed: ComputeHashesCached with the cache, unless a test gives its own.
  // Called on the pool threads (or, when no thread could be started, in Take).
  using Hasher = std::function<void(const std::string& path, const HashRequest& want,
                                    HashProgress* progress, HashResults& out)>;

  // threads 0: one per processor core, at most 4. cache may be null.
  explicit CChecksumPrefetch(CChecksumCache* cache = nullptr, unsigned threads = 0,
                             std::size_t ahead = 16, Hasher hasher = nullptr);
  // Stops the passes still running and waits for the pool.
  ~CChecksumPrefetch();
  CChecksumPrefetch(const CChecksumPrefetch&) = delete;
  CChecksumPrefetch& operator=(const CChecksumPrefetch&) = delete;

  // Appends the file of a coming row; returns its ticket (0, 1, 2, ... in the order added).
  std::size_t Add(std::string path, const HashRequest& want);
  std::size_t Added() const;
  // The digests of a ticket, as ComputeHashes gives them, waiting for them when they are not
  // ready. Tickets are taken in increasing order; the files of tickets passed over are dropped.
  // Returns true when the listing was cancelled (progress asked to stop, or Cancel was called);
  // out.status is then kCancelled and this file and every later one stay uncomputed.
  bool Take(std::size_t ticket, HashProgress* progress, HashResults& out);
  // Stops every pass and drops every file not taken.
  void Cancel();

  unsigned Threads() const { return static_cast<unsigned>(m_pool.size()); }

 private:
  struct Slot;
  class SlotProgress;
  void Run();
  bool CanStart() const;  // with m_mutex held

  Hasher m_hasher;
  std::size_t m_ahead;
  mutable std::mutex m_mutex;
  std::condition_variable m_work;             // a file may be started, or the pool is to end
  std::condition_variable m_done;             // a pass ended or reported progress
  std::deque<std::shared_ptr<Slot>> m_slots;  // tickets m_first, m_first + 1, ...
  std::size_t m_first = 0;                    // the oldest ticket still held
  std::size_t m_nextStart = 0;                // the next ticket a pool thread starts
  std::size_t m_added = 0;
  unsigned m_running = 0;
  bool m_bCancelled = false;
  bool m_bQuit = false;
  std::vector<std::thread> m_pool;  // last: started once everything above is ready
};

}  // namespace orvane
