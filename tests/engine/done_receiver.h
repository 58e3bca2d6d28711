// A receiver for the engine tests: keeps the engine's messages and lets a test wait for the end
// of each job.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "engine/listing_engine.h"
#include "engine/listing_job.h"
#include "test_util.h"

namespace orvane::test {

class DoneReceiver : public ListingReceiver {
 public:
  void Message(const std::string& text) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    messages.push_back(text);
  }
  void Done(ListingRequest, bool wasCancelled) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_done = true;
    cancelled = wasCancelled;
    m_cv.notify_all();
  }
  // Until the job that runs has ended.
  void Wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_done; });
    m_done = false;
  }
  std::vector<std::string> messages;  // read after Wait()
  bool cancelled = false;             // of the last job, read after Wait()

 protected:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_done = false;
};

// Runs job as a save into output, waits for its end and returns the listing's lines.
template <class Receiver>
std::vector<std::string> SaveAndReadLines(CListingEngine& engine, Receiver& receiver,
                                          ListingJob& job, const std::string& output) {
  job.request = kRequestSave;
  job.outputPath = output;
  EXPECT_TRUE(engine.StartGeneration(job));
  receiver.Wait();
  engine.WaitReady();
  return ReadListingLines(output);
}

// Options of a listing that shows names and extensions only, in a wide name column, without
// the program line or the directories' file counts: rows easy to compare.
inline void NamesOnly(CListingOptions& o) {
  o.m_bProgramInfoInHeader = 0;
  o.m_bFileCountInDirRow = 0;
  o.m_bColumn.fill(0);
  o.m_bColumn[ColumnId::kExtension] = 1;
  o.m_nNameWidth = 120;
}

}  // namespace orvane::test
