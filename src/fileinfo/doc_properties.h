// Document properties: the summary information of compound documents (word-processor,
// spreadsheet and presentation files of the Office family), the group behind the seventeen
// document columns "Title" to "Security".
//
// Any file may be handed over; one that is no compound file gives nothing and costs one small
// read. Pure functions over the given bytes or file, safe from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orvane {

// The most bytes read of one property-set stream: a few kilobytes of text plus, at most, a
// thumbnail picture.
inline constexpr std::size_t kMaxPropertyStreamBytes = 4u << 20;

struct DocProperties {
  std::string title;           // summary information 2
  std::string subject;         // 3
  std::string author;          // 4
  std::string keywords;        // 5
  std::string comments;        // 6
  std::string templateName;    // 7
  std::string lastAuthor;      // 8
  std::string revisionNumber;  // 9
  // Seconds since 1970 UTC; 0 means "not set" (also for moments before 1900).
  std::int64_t lastPrinted = 0;  // 11
  std::int64_t created = 0;      // 12
  std::int64_t lastSaved = 0;    // 13
  std::int32_t pageCount = 0;    // 14
  bool hasPageCount = false;
  std::int32_t wordCount = 0;  // 15
  bool hasWordCount = false;
  std::int32_t charCount = 0;  // 16
  bool hasCharCount = false;
  std::string appName;        // 18
  std::int32_t security = 0;  // 19
  bool hasSecurity = false;
  std::string category;  // document summary information 2
};

// Resets out, then fills it from the document's property sets. Returns whether the bytes are a
// compound file; a missing or damaged property set just leaves its fields empty.
bool ReadDocumentProperties(std::span<const std::uint8_t> bytes, DocProperties& out);
// The same for the file at path; false also when it cannot be opened.
bool ReadDocumentProperties(const std::string& path, DocProperties& out);

}  // namespace orvane
