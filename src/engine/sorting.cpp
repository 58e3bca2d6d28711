#include "engine/sorting.h"

#include <algorithm>
#include <numeric>

#include "base/unicode.h"
#include "engine/columns.h"

namespace orvane {
namespace {

int Compare(const SortValue& a, const SortValue& b) {
  if (a.kind != b.kind) {
    // An unread value (never loaded) sorts as empty: before any text or number.
    return a.kind < b.kind ? -1 : 1;
  }
  switch (a.kind) {
    case SortValue::kSigned:
      return a.num < b.num ? -1 : a.num > b.num ? 1 : 0;
    case SortValue::kUnsigned:
      return a.unum < b.unum ? -1 : a.unum > b.unum ? 1 : 0;
    case SortValue::kText:
    case SortValue::kExact: {
      int c = a.text.compare(b.text);
      return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    default:
      return 0;
  }
}

// Sorts `order` (indexes into the records) by precomputed key values.
template <typename Rec, typename ValueOf, typename TieOf, typename DirFirst>
void SortBy(std::vector<Rec*>& recs, const std::array<int, 3>& keys, const std::array<int, 3>& desc,
            ValueOf valueOf, TieOf tieOf, DirFirst dirFirst) {
  const std::size_t n = recs.size();
  if (n < 2) return;
  if (keys[0] == kNotSorted) {
    // The scan order decides at once (sequence numbers differ between any two records).
    const bool descending = desc[0] != 0;
    std::sort(recs.begin(), recs.end(), [&](const Rec* a, const Rec* b) {
      const int df = dirFirst(*a, *b);
      if (df) return df < 0;
      return descending ? a->m_nSeq > b->m_nSeq : a->m_nSeq < b->m_nSeq;
    });
    return;
  }
  // Keys after a "Not sorted" key are never reached: the scan order decides there.
  int active = 0;
  bool reachesTie = true;
  for (int k = 0; k < 3; ++k) {
    ++active;
    if (keys[static_cast<std::size_t>(k)] == kNotSorted) {
      reachesTie = false;
      break;
    }
  }
  std::vector<std::vector<SortValue>> values(static_cast<std::size_t>(active));
  for (int k = 0; k < active; ++k) {
    const int key = keys[static_cast<std::size_t>(k)];
    auto& col = values[static_cast<std::size_t>(k)];
    col.resize(n);
    for (std::size_t i = 0; i < n; ++i)
      col[i] = key == kNotSorted ? SignedValue(recs[i]->m_nSeq) : valueOf(*recs[i], key);
  }
  std::vector<std::string> ties;
  if (reachesTie) {
    ties.resize(n);
    for (std::size_t i = 0; i < n; ++i) ties[i] = tieOf(*recs[i]);
  }
  std::vector<std::uint32_t> order(n);
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    int df = dirFirst(*recs[a], *recs[b]);
    if (df) return df < 0;
    for (int k = 0; k < active; ++k) {
      const auto& col = values[static_cast<std::size_t>(k)];
      int c = Compare(col[a], col[b]);
      if (c) return desc[static_cast<std::size_t>(k)] ? c > 0 : c < 0;
    }
    if (reachesTie) {
      int c = ties[a].compare(ties[b]);
      if (c) return c < 0;
    }
    return a < b;  // scan order: stable and deterministic
  });
  std::vector<Rec*> sorted(n);
  for (std::size_t i = 0; i < n; ++i) sorted[i] = recs[order[i]];
  recs.swap(sorted);
}

}  // namespace

SortSettings SortSettings::FromOptions(const CListingOptions& o) {
  SortSettings s;
  s.m_nFileSortKey = o.m_nFileSortKey;
  s.m_bFileSortDesc = o.m_bFileSortDesc;
  s.m_nDirSortKey = o.m_nDirSortKey;
  s.m_bDirSortDesc = o.m_bDirSortDesc;
  s.m_bSubdirsFirst = o.m_bSubdirsFirst;
  return s;
}

SortValue TextValue(std::string_view s) {
  SortValue v;
  v.kind = SortValue::kText;
  v.text = FoldForSort(s);
  return v;
}

SortValue SignedValue(std::int64_t n) {
  SortValue v;
  v.kind = SortValue::kSigned;
  v.num = n;
  return v;
}

SortValue UnsignedValue(std::uint64_t n) {
  SortValue v;
  v.kind = SortValue::kUnsigned;
  v.unum = n;
  return v;
}

SortValue ItemSortValue(const CFileRecord& r, int key) {
  if (!IsColumnNumber(key)) return SortValue();
  const ColumnSpec& c = ColumnSpecOf(ColumnFromNumber(key));
  return c.itemSort ? c.itemSort(r) : SortValue();
}

SortValue DirSortValue(const CDirRecord& d, int key) {
  if (!IsColumnNumber(key)) return SortValue();
  const ColumnSpec& c = ColumnSpecOf(ColumnFromNumber(key));
  return c.dirSortKey ? c.dirSortKey(d) : SortValue();
}

void SortItems(std::vector<CFileRecord*>& items, const SortSettings& s) {
  const bool subdirsFirst = s.m_bSubdirsFirst != 0;
  SortBy(
      items, s.m_nFileSortKey, s.m_bFileSortDesc,
      [](const CFileRecord& r, int key) { return ItemSortValue(r, key); },
      [](const CFileRecord& r) {
        std::string t = FoldForSort(r.FullName());
        if (r.m_pDir) t += '\0' + r.m_pDir->m_strPath;  // items of different directories
        return t;
      },
      [subdirsFirst](const CFileRecord& a, const CFileRecord& b) {
        if (!subdirsFirst || a.m_bIsDir == b.m_bIsDir) return 0;
        return a.m_bIsDir ? -1 : 1;
      });
}

void SortDirs(std::vector<CDirRecord*>& dirs, const SortSettings& s) {
  SortBy(
      dirs, s.m_nDirSortKey, s.m_bDirSortDesc,
      [](const CDirRecord& d, int key) { return DirSortValue(d, key); },
      [](const CDirRecord& d) { return FoldForSort(d.m_strPath); },
      [](const CDirRecord&, const CDirRecord&) { return 0; });
}

}  // namespace orvane
