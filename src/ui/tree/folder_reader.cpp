#include "ui/tree/folder_reader.h"

#include <thread>

namespace orvane {

struct FolderReader::Shared {
  std::mutex m;
  std::condition_variable cv;
  QObject* owner = nullptr;  // null once the reader is gone
  int running = 0;
};

struct FolderReader::Pending {
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  FolderAnswer answer;
  LateHandler late;  // set when the waiter gave up
};

FolderReader::FolderReader(std::shared_ptr<FolderSource> source, QObject* owner,
                           std::chrono::milliseconds limit)
    : m_source(std::move(source)), m_shared(std::make_shared<Shared>()), m_limit(limit) {
  m_shared->owner = owner;
}

FolderReader::~FolderReader() {
  std::unique_lock lock(m_shared->m);
  m_shared->owner = nullptr;
  m_shared->cv.wait_for(lock, m_limit, [&] { return m_shared->running == 0; });
}

std::shared_ptr<FolderReader::Pending> FolderReader::Start(Job job) {
  auto pending = std::make_shared<Pending>();
  {
    std::lock_guard lock(m_shared->m);
    ++m_shared->running;
  }
  std::thread([source = m_source, shared = m_shared, pending, job = std::move(job)] {
    FolderAnswer answer = job(*source);
    LateHandler late;
    {
      std::lock_guard lock(pending->m);
      if (pending->late) {
        late = std::move(pending->late);
      } else {
        pending->answer = std::move(answer);
        pending->done = true;
      }
      pending->cv.notify_all();
    }
    std::lock_guard lock(shared->m);
    // Holding the lock keeps the owner alive until the call is queued; a queued call to an
    // object that is destroyed later is dropped with it.
    if (late && shared->owner)
      QMetaObject::invokeMethod(
          shared->owner, [late, answer] { late(answer); }, Qt::QueuedConnection);
    --shared->running;
    shared->cv.notify_all();
  }).detach();
  return pending;
}

bool FolderReader::Wait(const std::shared_ptr<Pending>& job, Clock::time_point deadline,
                        FolderAnswer& out, LateHandler late) {
  std::unique_lock lock(job->m);
  if (job->cv.wait_until(lock, deadline, [&] { return job->done; })) {
    out = std::move(job->answer);
    return true;
  }
  job->late = std::move(late);
  return false;
}

bool FolderReader::Run(Job job, FolderAnswer& out, LateHandler late) {
  return Wait(Start(std::move(job)), Clock::now() + m_limit, out, std::move(late));
}

}  // namespace orvane
