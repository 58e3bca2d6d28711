// The file filter: decides whether an entry found by the scan is recorded, by date, size,
// attributes and name mask, in that order. Pure functions; safe from any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/listing_options.h"
#include "platform/file_find.h"

namespace orvane {

// A compiled name mask: patterns separated by ";", "*" and "?" wildcards, case-insensitive,
// "*.*" matching every name.
class NameMask {
 public:
  explicit NameMask(std::string_view mask);
  bool Matches(std::string_view name) const;
  bool MatchesAll() const { return m_all; }

 private:
  std::vector<std::u32string> m_patterns;
  bool m_all = false;
};

// Strips white space at both ends (the mask is stored back stripped).
std::string TrimBlanks(std::string_view s);

class FileFilter {
 public:
  // Takes a copy of the filter fields; strips the mask in the options as the filter stores it.
  explicit FileFilter(CListingOptions& options);
  bool Passes(const FindData& entry) const;

 private:
  const CListingOptions& m_o;
  NameMask m_mask;
};

}  // namespace orvane
