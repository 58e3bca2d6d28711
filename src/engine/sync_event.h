// Event: a Windows-style event on a mutex and condition variable, with automatic or manual
// reset. Thread-safe.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace orvane {

class Event {
 public:
  Event(bool manualReset, bool initiallySet) : m_manual(manualReset), m_set(initiallySet) {}
  void Set() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_set = true;
    }
    m_cv.notify_all();
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_set = false;
  }
  // True when set (an automatic-reset event is then cleared).
  bool IsSet() { return Wait(std::chrono::milliseconds(0)); }
  // Waits up to `timeout`; true when the event was set.
  bool Wait(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_cv.wait_for(lock, timeout, [this] { return m_set; })) return false;
    if (!m_manual) m_set = false;
    return true;
  }
  void Wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_set; });
    if (!m_manual) m_set = false;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  const bool m_manual;
  bool m_set;
};

}  // namespace orvane
