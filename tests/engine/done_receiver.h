// A receiver for the engine tests: keeps the engine's messages and lets a test wait for the end
// of each job.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "engine/listing_job.h"

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

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_done = false;
};

}  // namespace orvane::test
