// CListingEngine: turns the checked directories into a listing file on one worker thread.
//
// A generation scans the directories (CListingScanner: filter, records, extra information for
// the shown columns) and then writes the sorted rows through a writer (CWritePhase). The engine
// itself owns the worker thread, the job, the receiver's events, the status and the stop
// request, and keeps the records of the last generation, which the next scan reuses for files
// whose name and last-write time did not change.
//
// Threads: StartGeneration and StopGeneration are called on the controlling thread (the window,
// or the batch command); everything a job needs comes with its ListingJob, and the engine keeps
// no process-wide state, so several engines (a preview and a save) may run side by side.
// Progress and the end of each job reach the receiver from the worker thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/job_status.h"
#include "engine/listing_job.h"
#include "engine/listing_options.h"
#include "engine/listing_services.h"
#include "engine/records.h"
#include "engine/sync_event.h"

namespace orvane {

class CListingEngine {
 public:
  // The receiver (may be null) gets the events of every job; it and the services (null: the
  // system's) must outlive the engine.
  explicit CListingEngine(ListingReceiver* receiver = nullptr, ListingServices* services = nullptr);
  ~CListingEngine();
  CListingEngine(const CListingEngine&) = delete;
  CListingEngine& operator=(const CListingEngine&) = delete;

  // Runs `job`. When a job runs already, only marks that a regeneration is wanted
  // (RegenerateRequested) and returns false. Two engines run their jobs independently.
  bool StartGeneration(ListingJob job);
  // Cancels a running job and waits for the worker to end.
  void StopGeneration();
  bool IsReady() { return m_hReadyEvent.Wait(std::chrono::milliseconds(0)); }
  // Waits until no job runs.
  void WaitReady() { m_hReadyEvent.Wait(); }

  bool RegenerateRequested() const { return m_bRegenerate; }
  ListingRequest Request() const { return m_job.request; }
  const std::string& OutputPath() const { return m_job.outputPath; }
  // Results of the last generation (read while no job runs).
  int Files() const { return m_records.files; }
  int Dirs() const { return m_records.dirCount; }
  std::uint64_t TotalSize() const { return m_records.totalSize; }
  std::string Summary() { return m_status.Summary(); }
  bool LastJobCancelled() const { return m_bLastCancelled; }
  // The last job ended without a complete listing: the output could not be written, or an
  // error (such as running out of memory) stopped it; LastError then says why.
  bool LastWriteFailed() const { return m_bLastWriteFailed; }
  const std::string& LastError() const { return m_strLastError; }
  const std::vector<std::unique_ptr<CDirRecord>>& Directories() const { return m_records.dirs; }
  bool StopRequested() { return m_status.StopRequested(); }

  // Runs one job on the calling thread (the worker's body; also used by tests). Returns true
  // when it was cancelled. Never throws: an exception ends the job as failed.
  bool RunJob();

 private:
  void WorkerMain();
  bool RunPhases();
  void FailJob(const std::string& reason);

  Event m_hStartEvent{false, false};
  Event m_hReadyEvent{true, true};
  Event m_hStopEvent{true, false};
  Event m_hEndedEvent{false, false};
  std::thread m_worker;
  std::atomic<bool> m_bWorkerRunning{false};

  ListingServices& m_services;
  CJobStatus m_status;
  // The job being run: set by StartGeneration while no job runs, read by the worker.
  ListingJob m_job;
  bool m_bRegenerate = false;
  bool m_bLastCancelled = false;
  bool m_bLastWriteFailed = false;
  std::string m_strLastError;
  // Records of the last generation, the cache of the next.
  ListingRecords m_records;
};

}  // namespace orvane
