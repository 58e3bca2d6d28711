#include "engine/filter.h"

#include "base/unicode.h"

namespace orvane {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Wildcard match with backtracking over the last "*": linear in practice, never exponential.
bool Wildcard(const std::u32string& p, const std::u32string& s) {
  std::size_t pi = 0, si = 0, star = std::u32string::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == U'?' || p[pi] == s[si])) {
      ++pi, ++si;
    } else if (pi < p.size() && p[pi] == U'*') {
      star = pi++;
      mark = si;
    } else if (star != std::u32string::npos) {
      pi = star + 1;
      si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == U'*') ++pi;
  return pi == p.size();
}

std::uint64_t SizeBound(int value, int unit) {
  std::uint64_t b = static_cast<std::uint64_t>(value < 0 ? 0 : value);
  for (int i = 0; i < unit && i < 3; ++i) b *= 1024;
  return b;
}

bool AttrOk(int setting, bool has) {
  return setting == 2 || has == (setting == 1);
}

}  // namespace

std::string TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

NameMask::NameMask(std::string_view mask) {
  std::string m = TrimBlanks(mask);
  std::size_t pos = 0;
  while (pos <= m.size()) {
    std::size_t end = m.find(';', pos);
    if (end == std::string::npos) end = m.size();
    std::string piece = TrimBlanks(std::string_view(m).substr(pos, end - pos));
    if (!piece.empty()) {
      if (piece == "*.*" || piece == "*") m_all = true;
      m_patterns.push_back(FoldCase(piece));
    }
    pos = end + 1;
  }
}

bool NameMask::Matches(std::string_view name) const {
  if (m_all) return true;
  if (m_patterns.empty()) return false;
  std::u32string folded = FoldCase(name);
  for (const auto& p : m_patterns)
    if (Wildcard(p, folded)) return true;
  return false;
}

FileFilter::FileFilter(CListingOptions& options)
    : m_o(options), m_mask((options.m_strMask = TrimBlanks(options.m_strMask))) {}

bool FileFilter::Passes(const FindData& e) const {
  const bool isDir = (e.attributes & kFindDirectory) != 0;
  if (m_o.m_bDateAfter || m_o.m_bDateBefore) {
    std::int64_t t = m_o.m_nDateKind == 0   ? e.creation
                     : m_o.m_nDateKind == 2 ? e.lastAccess
                                            : e.lastWrite;
    if (m_o.m_bDateAfter && t < m_o.m_tAfter) return false;
    if (m_o.m_bDateBefore && t > m_o.m_tBefore) return false;
  }
  if (m_o.m_bSizeMore && !isDir && !(e.size > SizeBound(m_o.m_nSizeMore, m_o.m_nSizeFilterUnit)))
    return false;
  if (m_o.m_bSizeLess && !isDir && !(e.size < SizeBound(m_o.m_nSizeLess, m_o.m_nSizeFilterUnit)))
    return false;
  if (!AttrOk(m_o.m_nAttrArchive, e.attributes & kFindArchive)) return false;
  if (!AttrOk(m_o.m_nAttrHidden, e.attributes & kFindHidden)) return false;
  if (!AttrOk(m_o.m_nAttrReadOnly, e.attributes & kFindReadOnly)) return false;
  if (!AttrOk(m_o.m_nAttrCompressed, e.attributes & kFindCompressed)) return false;
  if (!AttrOk(m_o.m_nAttrSystem, e.attributes & kFindSystem)) return false;
  return m_mask.Matches(e.name);
}

}  // namespace orvane
