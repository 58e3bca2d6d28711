// Fuzz target: compound files and the property sets inside them, from memory and from a file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <tuple>
#include <vector>

#include "fileinfo/byte_source.h"
#include "fileinfo/compound_file.h"
#include "fileinfo/doc_properties.h"
#include "fuzz_file.h"

namespace {

auto Fields(const orvane::DocProperties& p) {
  return std::tie(p.title, p.subject, p.author, p.keywords, p.comments, p.templateName,
                  p.lastAuthor, p.revisionNumber, p.lastPrinted, p.created, p.lastSaved,
                  p.pageCount, p.hasPageCount, p.wordCount, p.hasWordCount, p.charCount,
                  p.hasCharCount, p.appName, p.security, p.hasSecurity, p.category);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  orvane::DocProperties props;
  const bool read = orvane::ReadDocumentProperties(bytes, props);
  const std::string& path = fuzzfile::InputFile::Get().Write(data, size);
  orvane::DocProperties fileProps;
  if (orvane::ReadDocumentProperties(path, fileProps) != read || Fields(props) != Fields(fileProps))
    __builtin_trap();
  // Every stream, not only the two property sets, to walk all chains the directory names,
  // through the file's read cache and with the limit the property reader uses.
  orvane::FileByteSource file(path);
  orvane::CompoundFile cf;
  if (file.IsOpen() && cf.Open(file)) {
    std::vector<std::uint8_t> stream;
    for (std::size_t i = 0; i < cf.Entries().size() && i < 64; ++i)
      cf.ReadStream(static_cast<int>(i), orvane::kMaxPropertyStreamBytes, stream);
  }
  return 0;
}
