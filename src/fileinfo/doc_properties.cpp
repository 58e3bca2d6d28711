#include "fileinfo/doc_properties.h"

#include <vector>

#include "fileinfo/archive_member.h"
#include "fileinfo/byte_source.h"
#include "fileinfo/compound_file.h"
#include "fileinfo/property_set.h"

namespace orvane {
namespace {

void TakeString(const PropertySection& s, std::uint32_t id, std::string& field) {
  Property p;
  field.clear();
  if (s.Get(id, p) && p.kind == Property::Kind::kString) field = std::move(p.text);
}

void TakeTime(const PropertySection& s, std::uint32_t id, std::int64_t& field) {
  Property p;
  field = 0;
  if (s.Get(id, p) && p.kind == Property::Kind::kTime && p.fileTime != 0)
    field = FileTimeToSeconds(p.fileTime);
}

void TakeNumber(const PropertySection& s, std::uint32_t id, std::int32_t& field, bool& present) {
  Property p;
  present = s.Get(id, p) && p.kind == Property::Kind::kNumber;
  field = present ? p.number : 0;
}

bool ReadSection(const CompoundFile& cf, const char* streamName, const FormatId& fmtid,
                 std::vector<std::uint8_t>& stream, PropertySection& section) {
  return cf.ReadStream(cf.FindRootStream(streamName), kMaxPropertyStreamBytes, stream) &&
         section.Open(stream, fmtid);
}

bool ReadFromCompoundFile(const CompoundFile& cf, DocProperties& out) {
  std::vector<std::uint8_t> stream;
  PropertySection s;
  if (ReadSection(cf, "\005SummaryInformation", kSummaryInformationId, stream, s)) {
    TakeString(s, 2, out.title);
    TakeString(s, 3, out.subject);
    TakeString(s, 4, out.author);
    TakeString(s, 5, out.keywords);
    TakeString(s, 6, out.comments);
    TakeString(s, 7, out.templateName);
    TakeString(s, 8, out.lastAuthor);
    TakeString(s, 9, out.revisionNumber);
    TakeTime(s, 11, out.lastPrinted);
    TakeTime(s, 12, out.created);
    TakeTime(s, 13, out.lastSaved);
    TakeNumber(s, 14, out.pageCount, out.hasPageCount);
    TakeNumber(s, 15, out.wordCount, out.hasWordCount);
    TakeNumber(s, 16, out.charCount, out.hasCharCount);
    TakeString(s, 18, out.appName);
    TakeNumber(s, 19, out.security, out.hasSecurity);
  }
  if (ReadSection(cf, "\005DocumentSummaryInformation", kDocSummaryInformationId, stream, s))
    TakeString(s, 2, out.category);
  return true;
}

}  // namespace

bool ReadDocumentProperties(std::span<const std::uint8_t> bytes, DocProperties& out) {
  out = DocProperties{};
  CompoundFile cf;
  return cf.Open(bytes) && ReadFromCompoundFile(cf, out);
}

bool ReadDocumentProperties(const std::string& path, DocProperties& out) {
  out = DocProperties{};
  FileByteSource file(path);
  CompoundFile cf;
  return file.IsOpen() && cf.Open(file) && ReadFromCompoundFile(cf, out);
}

}  // namespace orvane
