// CFolderReadAhead: helper threads that read the folders the scan will enter next (their
// entries and the status of each), so the scan's own thread only turns listings into records.
//
// The scan asks for the subfolders of each folder it enters, in the order it will enter them;
// newer requests go first, which follows a depth-first walk. It then takes each listing as it
// enters the folder, waiting for a helper that is reading it; a folder not started yet the scan
// reads itself while every helper is busy, else it goes first to an idle helper. While it waits
// for a helper, the scan reads the next folders of the queue itself. Listings read
// ahead and not yet taken are bounded. What the scan records, and in which order, does not
// depend on who read a folder.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/folder_walker.h"

namespace orvane {

class CFolderReadAhead {
 public:
  // `helpers` threads (at least 1) list folders through `walker`; `stop` says the job was
  // cancelled.
  CFolderReadAhead(FolderWalker& walker, int helpers, std::function<bool()> stop);
  ~CFolderReadAhead();
  CFolderReadAhead(const CFolderReadAhead&) = delete;
  CFolderReadAhead& operator=(const CFolderReadAhead&) = delete;

  // Asks for these folders to be read, the first one needed first; they go before the folders
  // asked for earlier.
  void Request(const std::vector<std::string>& paths);
  // The listing of a folder asked for (null when it cannot be read). False when it was not
  // asked for, every helper is busy and none has started it, or the walker leaves it to the
  // walk: the caller then lists it itself. A cancelled job gets true and no listing at once.
  bool Take(const std::string& path, std::unique_ptr<FolderListing>& out);

 private:
  enum class State { kQueued, kReading, kReady, kLeft };
  struct Slot {
    State state = State::kQueued;
    std::unique_ptr<FolderListing> listing;
  };
  void HelperMain();
  // The scan, waiting for a folder, reads the next folder of the queue itself (the lock is
  // held on entry and on return); false when there is none to read.
  bool ReadOneHere(std::unique_lock<std::mutex>& lock);

  FolderWalker& m_walker;
  std::function<bool()> m_stop;
  std::mutex m_mutex;
  std::condition_variable m_work;   // a request came, a listing was taken, or the end
  std::condition_variable m_done;   // a helper finished a folder
  std::deque<std::string> m_queue;  // folders not started, the next needed first
  std::unordered_map<std::string, Slot> m_slots;
  int m_ahead = 0;        // folders being read or read and not taken
  int m_reading = 0;      // helpers reading a folder now
  bool m_full = false;    // the bound was reached: helpers wait until half are taken
  bool m_urgent = false;  // the scan waits for the first folder of the queue
  bool m_quit = false;
  std::vector<std::thread> m_helpers;
};

}  // namespace orvane
