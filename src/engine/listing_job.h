// ListingJob: everything one generation needs, handed to CListingEngine::StartGeneration, and
// ListingReceiver: the typed events a generation reports.
//
// A job is plain data copied into the engine when it starts, so the window may build the next
// job (or run a second engine on another job) while one runs. Receiver events other than
// GenerationStarting come from the engine's worker thread; a receiver must not block in them
// for long.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/checked_dirs.h"
#include "engine/listing_options.h"
#include "writers/output.h"

namespace orvane {

// What the listing is made for. The codes are those the start-up and the window pass around.
enum ListingRequest : int {
  kRequestSave = 100,
  kRequestPreview = 101,
  kRequestMail = 102,
  kRequestPrint = 103,
  kRequestPrintPreview = 104,
  kRequestCopy = 105,
};

// Makes the writer of an output file; the default (an empty function) is CreateOutput.
using WriterFactory =
    std::function<std::unique_ptr<COvOutput>(const WriterOptions&, OutputContext&)>;

// The choices of the listing options that the writers read.
WriterOptions WriterOptionsOf(const CListingOptions& o);

struct ListingJob {
  CListingOptions options;  // the sort settings travel with them
  CheckedDirs checkedDirs;
  ListingRequest request = kRequestPreview;
  // The listing file; when empty, makeTempFile is asked for one (a job without either fails).
  std::string outputPath;
  // Makes a temporary output file for an output type; returns its path or "" on failure.
  std::function<std::string(int outputType)> makeTempFile;
  WriterFactory makeWriter;
  // Threads that read folders during the scan and format rows while writing: 0, the number in
  // the environment variable ORVANE_SCAN_THREADS or else one per processor core; 1, the
  // worker alone. The listing is the same whatever the number.
  int scanThreads = 0;
};

// The threads a job with this scanThreads works with (at least 1).
int JobThreads(int scanThreads);

class ListingReceiver {
 public:
  virtual ~ListingReceiver() = default;
  // A generation starts (on the controlling thread, inside StartGeneration).
  virtual void GenerationStarting() {}
  virtual void ScanBegin() {}
  virtual void ScanEnd() {}
  // The write phase begins with this many directories, reaches one of them, ends.
  virtual void WriteBegin(std::size_t /*dirCount*/) {}
  virtual void WriteProgress(std::size_t /*dirIndex*/) {}
  virtual void WriteEnd() {}
  // The counts of the scan so far ("Dirs: 3, Files: 12, Total size: ..."), at most 259
  // characters, at most every 100 ms unless the scan begins or ends.
  virtual void Status(const std::string& /*counts*/) {}
  // A file is being read for its checksums: label " (" path ") " percent "%" and the bytes
  // done; throttled with Status.
  virtual void FileProgress(const std::string& /*text*/, std::uint64_t /*bytesDone*/) {}
  // A message the user must see (the window shows a message box, batch mode prints it on
  // stderr). The listing goes on.
  virtual void Message(const std::string& /*text*/) {}
  // The job ended (written, failed or cancelled: see the engine's LastWriteFailed).
  virtual void Done(ListingRequest /*request*/, bool /*cancelled*/) {}
};

}  // namespace orvane
