// CRowBlocks: the writing pass on several threads. Blocks of consecutive directories are
// formatted into bytes by helper threads and by the thread that writes, each with a phase and a
// writer of its own, and the writing thread writes the finished blocks to the file in order, so
// the bytes are those of one thread. The helpers start at once, before the file is made (making
// it can take a while when a large listing is replaced). Blocks formatted and not yet written
// are bounded, so the listing never waits in memory as a whole.
#pragma once

#include <atomic>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include "engine/records.h"
#include "writers/output.h"

namespace orvane {

class CWritePhase;
class BlockQueue;

class CRowBlocks {
 public:
  // Starts `threads` - 1 helpers on the rows of `dirs` (which must outlive this) as `main`
  // would write them.
  CRowBlocks(CWritePhase& main, const std::vector<CDirRecord*>& dirs, int threads);
  // Stops the helpers and waits for them.
  ~CRowBlocks();
  CRowBlocks(const CRowBlocks&) = delete;
  CRowBlocks& operator=(const CRowBlocks&) = delete;

  // Formats blocks with `main` alongside the helpers and writes every block through `out`, in
  // order; true when the job was stopped. A helper's failure (out of memory) is thrown here.
  bool Write(COvOutput& out);

 private:
  void Format(CWritePhase& phase, COvOutput& writer, std::size_t block);
  void Stop();

  CWritePhase& m_main;
  const std::vector<CDirRecord*>& m_dirs;
  std::vector<std::size_t> m_starts;  // block b holds the directories from m_starts[b] on
  std::unique_ptr<BlockQueue> m_queue;
  std::vector<std::unique_ptr<CWritePhase>> m_phases;
  std::vector<std::thread> m_helpers;
  std::exception_ptr m_failure;  // written by a failing helper before it sets m_failed
  std::atomic<bool> m_failed{false};
};

}  // namespace orvane
