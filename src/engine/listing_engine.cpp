#include "engine/listing_engine.h"

#include <exception>
#include <new>

#include "engine/columns.h"
#include "engine/entry_readers.h"
#include "engine/listing_scanner.h"
#include "engine/write_phase.h"

namespace orvane {

CListingEngine::CListingEngine(ListingReceiver* receiver, ListingServices* services)
    : m_services(services ? *services : SystemListingServices()),
      m_status(receiver, m_hStopEvent) {}

CListingEngine::~CListingEngine() {
  StopGeneration();
}

bool CListingEngine::StartGeneration(ListingJob job) {
  if (!IsReady()) {
    m_bRegenerate = true;
    return false;
  }
  m_bRegenerate = false;
  m_job = std::move(job);
  if (m_job.outputPath.empty() && m_job.makeTempFile)
    m_job.outputPath = m_job.makeTempFile(m_job.options.m_nOutputType);
  if (ListingReceiver* receiver = m_status.Receiver()) receiver->GenerationStarting();
  m_hReadyEvent.Reset();
  m_hStopEvent.Reset();
  m_hEndedEvent.Reset();
  m_bJobPending = true;
  m_hStartEvent.Set();
  if (!m_bWorkerRunning) {
    if (m_worker.joinable()) m_worker.join();
    m_bWorkerRunning = true;
    m_worker = std::thread([this] { WorkerMain(); });
  }
  return true;
}

void CListingEngine::StopGeneration() {
  if (m_bWorkerRunning) {
    m_hStopEvent.Set();
    m_hStartEvent.Set();
    m_hEndedEvent.Wait();
  }
  if (m_worker.joinable()) m_worker.join();
}

void CListingEngine::WorkerMain() {
  for (;;) {
    m_hStartEvent.Wait();
    if (StopRequested()) {
      // A job stopped before the worker took it up still ends, as cancelled, so that whoever
      // started it hears of its end.
      if (m_bJobPending.exchange(false)) {
        m_bLastCancelled = true;
        if (ListingReceiver* receiver = m_status.Receiver()) receiver->Done(m_job.request, true);
      }
      break;
    }
    m_bJobPending = false;
    m_hReadyEvent.Reset();
    const bool cancelled = RunJob();
    // The next job may be started as soon as this one is ready: nothing of the job is read
    // after that.
    const ListingRequest request = m_job.request;
    m_bLastCancelled = cancelled;
    m_bWorkerRunning = !cancelled;
    m_hReadyEvent.Set();
    if (ListingReceiver* receiver = m_status.Receiver()) receiver->Done(request, cancelled);
    if (cancelled) break;
  }
  m_bWorkerRunning = false;
  m_hReadyEvent.Set();
  m_hEndedEvent.Set();
}

bool CListingEngine::RunJob() {
  m_bLastWriteFailed = false;
  m_strLastError.clear();
  if (m_job.outputPath.empty()) {
    m_bLastWriteFailed = true;
    return false;
  }
  // An exception (out of memory above all) ends the job as failed: a listing that stopped
  // half-way must never look finished.
  try {
    return RunPhases();
  } catch (const std::bad_alloc&) {
    FailJob("out of memory");
  } catch (const std::exception& e) {
    FailJob(e.what());
  } catch (...) {
    FailJob("unexpected error");
  }
  return false;
}

void CListingEngine::FailJob(const std::string& reason) {
  m_bLastWriteFailed = true;
  m_strLastError = "the listing failed: " + reason;
}

bool CListingEngine::RunPhases() {
  ListingReceiver* receiver = m_status.Receiver();
  CEntryReaders readers(m_services, m_status, ShownColumnReaders(m_job.options));
  readers.SetChecksumOptions(m_job.options);
  if (receiver) receiver->ScanBegin();
  bool cancelled =
      CListingScanner(m_job.options, m_services, readers, m_status, m_records, m_job.scanThreads)
          .Scan(m_job.checkedDirs);
  if (receiver) receiver->ScanEnd();
  if (cancelled) return true;
  // With automatic widths a first pass only measures the cells and a second one writes.
  CWritePhase writer(m_job, m_services, readers, m_status, m_records);
  const bool autoWidths = m_job.options.m_bAutoColumnWidths != 0;
  bool failed = false;
  cancelled = writer.Run(autoWidths, failed);
  if (!cancelled && !failed && autoWidths) cancelled = writer.Run(false, failed);
  m_bLastWriteFailed = failed;
  return cancelled;
}

}  // namespace orvane
