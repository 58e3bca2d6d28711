// CJobStatus: what the parts of a running generation (the scan, the readers, the write phase)
// share with the engine that runs it: the stop request, the receiver, and the status and
// progress texts with their common 100 ms throttle.
//
// The engine owns one for its life; the parts get it by reference. Summary may be read from
// any thread; everything else is called on the engine's worker thread (the checksum helper
// thread reports progress through it too, under its lock).
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "engine/formatting.h"
#include "engine/listing_job.h"
#include "engine/listing_options.h"
#include "engine/sync_event.h"

namespace orvane {

class CJobStatus {
 public:
  // `receiver` (may be null) gets the events; `stop` is set to cancel the job.
  CJobStatus(ListingReceiver* receiver, Event& stop) : m_receiver(receiver), m_stop(stop) {}

  bool StopRequested() { return m_stop.Wait(std::chrono::milliseconds(0)); }
  ListingReceiver* Receiver() const { return m_receiver; }
  // A message the user must see; the listing goes on.
  void Message(const std::string& text) {
    if (m_receiver) m_receiver->Message(text);
  }
  // Rebuilds the summary from the scan's counts ("Directories: 3, Files: 12, Size: ...") and
  // tells the receiver, when forced or when 100 ms passed since the last status or progress.
  void UpdateCounts(int dirs, int files, std::uint64_t totalSize, const CListingOptions& o,
                    const NumberFormat& nf, bool force);
  // Progress of the hash readers: label " (" path ") " percent "%", throttled with the counts;
  // the receiver also gets the bytes done.
  void ReportProgress(const std::string& path, std::uint64_t done, std::uint64_t total,
                      const char* label);
  // The last summary built.
  std::string Summary();

 private:
  ListingReceiver* m_receiver;
  Event& m_stop;
  std::mutex m_mutex;  // guards the summary and the throttle
  std::int64_t m_lastTick = -1000000;
  std::string m_summary;
};

}  // namespace orvane
