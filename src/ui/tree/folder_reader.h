// FolderReader runs the tree's file-system questions on worker threads, so that a folder on a
// dead network mount cannot freeze the window: the caller waits at most a short time limit for
// the answer. An answer that comes later is handed to the reader's owner on its own thread, by
// a queued call, unless the owner is gone by then.
//
// One reader belongs to one QObject (the owner) and is used from the owner's thread only; the
// worker threads touch nothing but the source and their own job.
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/folder_tree.h"

namespace orvane {

// The answer to one question.
struct FolderAnswer {
  bool ok = false;  // the folder could be read
  bool hasSubfolder = false;
  std::vector<SubfolderEntry> entries;
  bool probed = false;  // each entry's hasSubfolders has been asked
  // Filled by the worker for listings, so the interface thread has less to do: each entry's
  // name as shown (bytes that are not UTF-8 as U+FFFD) and its case-folded form, entries sorted
  // by that form.
  std::vector<QString> texts, keys;
};

class FolderReader {
 public:
  using Clock = std::chrono::steady_clock;
  using Job = std::function<FolderAnswer(FolderSource&)>;
  using LateHandler = std::function<void(FolderAnswer)>;

  FolderReader(std::shared_ptr<FolderSource> source, QObject* owner,
               std::chrono::milliseconds limit);
  // Waits a little (at most the time limit) for running jobs, then lets them go: a job stuck in
  // the kernel cannot be stopped, and its answer is dropped.
  ~FolderReader();
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  struct Pending;
  // Starts a job on its own thread.
  std::shared_ptr<Pending> Start(Job job);
  // Waits for the job until deadline. True with the answer when it finished in time; false when
  // it did not, and then `late` gets the answer on the owner's thread when it finishes.
  bool Wait(const std::shared_ptr<Pending>& job, Clock::time_point deadline, FolderAnswer& out,
            LateHandler late);
  // Start and Wait with the reader's own time limit.
  bool Run(Job job, FolderAnswer& out, LateHandler late);

  std::chrono::milliseconds Limit() const { return m_limit; }
  FolderSource& Source() { return *m_source; }

 private:
  struct Shared;  // what the worker threads share with the reader: the owner while it lives
  std::shared_ptr<FolderSource> m_source;
  std::shared_ptr<Shared> m_shared;
  std::chrono::milliseconds m_limit;
};

}  // namespace orvane
