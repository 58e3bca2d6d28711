// Test helpers that build compound files (version 3, 512-byte sectors) and property-set
// streams in memory, so tests can make exactly the structures, types and damage they need.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/unicode.h"
#include "fileinfo/property_set.h"

namespace orvane::test {

inline void PutU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void AppendU16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void AppendU32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Builds a compound file whose root holds the given streams. Streams shorter than the cutoff go
// to the mini stream. Regular streams may be laid out interleaved (sector by sector in turn).
class CompoundBuilder {
 public:
  static constexpr std::uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatMark = 0xFFFFFFFD,
                                 kDifatMark = 0xFFFFFFFC;
  struct Layout {
    std::vector<std::vector<std::uint32_t>> streamSectors;  // regular streams, in AddStream order
    std::uint32_t fatSectors = 0;
    std::uint32_t firstDirSector = 0;
  };

  void AddStream(std::string name, std::vector<std::uint8_t> data) {
    m_streams.push_back({std::move(name), std::move(data)});
  }
  void SetMiniCutoff(std::uint32_t cutoff) { m_cutoff = cutoff; }
  void SetInterleaved(bool on) { m_interleave = on; }

  std::vector<std::uint8_t> Build(Layout* layoutOut = nullptr) const {
    // Mini stream: the short streams one after another, each padded to 64 bytes.
    std::vector<std::uint8_t> mini;
    std::vector<std::uint32_t> miniFat, miniStart(m_streams.size(), kEnd);
    std::vector<std::size_t> regular;
    for (std::size_t i = 0; i < m_streams.size(); ++i) {
      const auto& data = m_streams[i].second;
      if (data.size() >= m_cutoff || data.empty()) {
        if (!data.empty()) regular.push_back(i);
        continue;
      }
      const std::uint32_t first = static_cast<std::uint32_t>(mini.size() / 64);
      miniStart[i] = first;
      mini.insert(mini.end(), data.begin(), data.end());
      mini.resize((mini.size() + 63) / 64 * 64);
      const std::uint32_t last = static_cast<std::uint32_t>(mini.size() / 64);
      for (std::uint32_t s = first; s < last; ++s) miniFat.push_back(s + 1 == last ? kEnd : s + 1);
    }
    const std::uint32_t dirSectors = static_cast<std::uint32_t>((m_streams.size() + 1 + 3) / 4);
    const std::uint32_t miniFatSectors =
        static_cast<std::uint32_t>((miniFat.size() * 4 + 511) / 512);
    const std::uint32_t miniSectors = static_cast<std::uint32_t>((mini.size() + 511) / 512);
    std::uint32_t dataSectors = 0;
    for (std::size_t i : regular)
      dataSectors += static_cast<std::uint32_t>((m_streams[i].second.size() + 511) / 512);
    // FAT and DIFAT sizes depend on the total, which depends on them.
    std::uint32_t fat = 1, difat = 0;
    for (;;) {
      const std::uint32_t total =
          fat + difat + dirSectors + miniFatSectors + miniSectors + dataSectors;
      const std::uint32_t needFat = (total + 127) / 128;
      const std::uint32_t needDifat = needFat > 109 ? (needFat - 109 + 126) / 127 : 0;
      if (needFat == fat && needDifat == difat) break;
      fat = needFat;
      difat = needDifat;
    }
    const std::uint32_t total =
        fat + difat + dirSectors + miniFatSectors + miniSectors + dataSectors;
    std::vector<std::uint32_t> fatTable(fat * 128, kFree);
    std::uint32_t next = 0;
    auto chain = [&](std::uint32_t count) {
      const std::uint32_t first = next;
      for (std::uint32_t i = 0; i < count; ++i)
        fatTable[next + i] = i + 1 == count ? kEnd : next + i + 1;
      next += count;
      return count ? first : kEnd;
    };
    for (std::uint32_t i = 0; i < fat; ++i) fatTable[next++] = kFatMark;
    const std::uint32_t firstDifat = difat ? next : kEnd;
    for (std::uint32_t i = 0; i < difat; ++i) fatTable[next++] = kDifatMark;
    const std::uint32_t firstDir = chain(dirSectors);
    const std::uint32_t firstMiniFat = chain(miniFatSectors);
    const std::uint32_t firstMini = chain(miniSectors);

    // Regular streams, one after another or sector by sector in turn.
    Layout layout;
    layout.fatSectors = fat;
    layout.firstDirSector = firstDir;
    layout.streamSectors.resize(m_streams.size());
    std::vector<std::uint32_t> remaining(m_streams.size(), 0);
    for (std::size_t i : regular)
      remaining[i] = static_cast<std::uint32_t>((m_streams[i].second.size() + 511) / 512);
    for (bool any = true; any;) {
      any = false;
      for (std::size_t i : regular) {
        const std::uint32_t take =
            m_interleave ? std::min<std::uint32_t>(remaining[i], 1) : remaining[i];
        for (std::uint32_t k = 0; k < take; ++k) layout.streamSectors[i].push_back(next++);
        remaining[i] -= take;
        any = any || remaining[i] > 0;
      }
    }
    for (std::size_t i : regular) {
      const auto& s = layout.streamSectors[i];
      for (std::size_t k = 0; k < s.size(); ++k)
        fatTable[s[k]] = k + 1 == s.size() ? kEnd : s[k + 1];
    }

    std::vector<std::uint8_t> out((total + 1) * 512, 0);
    auto sectorAt = [](std::uint32_t s) { return static_cast<std::size_t>(s + 1) * 512; };
    const std::uint8_t sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(sig, sig + 8, out.begin());
    PutU16(out, 0x18, 0x3E);
    PutU16(out, 0x1A, 3);
    PutU16(out, 0x1C, 0xFFFE);
    PutU16(out, 0x1E, 9);
    PutU16(out, 0x20, 6);
    PutU32(out, 0x2C, fat);
    PutU32(out, 0x30, firstDir);
    PutU32(out, 0x38, m_cutoff);
    PutU32(out, 0x3C, miniFatSectors ? firstMiniFat : kEnd);
    PutU32(out, 0x40, miniFatSectors);
    PutU32(out, 0x44, firstDifat);
    PutU32(out, 0x48, difat);
    for (std::uint32_t i = 0; i < 109; ++i) PutU32(out, 0x4C + 4 * i, i < fat ? i : kFree);
    for (std::uint32_t d = 0; d < difat; ++d) {
      const std::size_t at = sectorAt(firstDifat + d);
      for (std::uint32_t k = 0; k < 127; ++k) {
        const std::uint32_t index = 109 + d * 127 + k;
        PutU32(out, at + 4 * k, index < fat ? index : kFree);
      }
      PutU32(out, at + 508, d + 1 < difat ? firstDifat + d + 1 : kEnd);
    }
    for (std::size_t i = 0; i < fatTable.size(); ++i)
      PutU32(out, sectorAt(static_cast<std::uint32_t>(i / 128)) + 4 * (i % 128), fatTable[i]);
    for (std::size_t i = 0; i < miniFat.size(); ++i)
      PutU32(out, sectorAt(firstMiniFat + static_cast<std::uint32_t>(i / 128)) + 4 * (i % 128),
             miniFat[i]);
    for (std::size_t i = 0; i < mini.size(); ++i)
      out[sectorAt(firstMini + static_cast<std::uint32_t>(i / 512)) + i % 512] = mini[i];
    for (std::size_t i : regular) {
      const auto& data = m_streams[i].second;
      for (std::size_t k = 0; k < data.size(); ++k)
        out[sectorAt(layout.streamSectors[i][k / 512]) + k % 512] = data[k];
    }

    // Directory: the root, then each stream linked to the next through its right sibling.
    auto entry = [&](std::size_t index, const std::string& name, std::uint8_t type,
                     std::uint32_t right, std::uint32_t child, std::uint32_t start,
                     std::uint32_t size) {
      const std::size_t at =
          sectorAt(firstDir + static_cast<std::uint32_t>(index / 4)) + 128 * (index % 4);
      const std::u16string wide = Utf8ToUtf16(name);
      for (std::size_t k = 0; k < wide.size() && k < 31; ++k) PutU16(out, at + 2 * k, wide[k]);
      PutU16(out, at + 64,
             static_cast<std::uint32_t>(std::min<std::size_t>(wide.size(), 31) + 1) * 2);
      out[at + 66] = type;
      out[at + 67] = 1;
      PutU32(out, at + 68, kFree);
      PutU32(out, at + 72, right);
      PutU32(out, at + 76, child);
      PutU32(out, at + 116, start);
      PutU32(out, at + 120, size);
    };
    entry(0, "Root Entry", 5, kFree, m_streams.empty() ? kFree : 1, mini.empty() ? kEnd : firstMini,
          static_cast<std::uint32_t>(mini.size()));
    for (std::size_t i = 0; i < m_streams.size(); ++i) {
      const auto& data = m_streams[i].second;
      const std::uint32_t start = data.empty()             ? kEnd
                                  : data.size() < m_cutoff ? miniStart[i]
                                                           : layout.streamSectors[i][0];
      entry(i + 1, m_streams[i].first, 2,
            i + 1 < m_streams.size() ? static_cast<std::uint32_t>(i + 2) : kFree, kFree, start,
            static_cast<std::uint32_t>(data.size()));
    }
    if (layoutOut) *layoutOut = layout;
    return out;
  }

  // Overwrites the FAT entry of sector in a built file.
  static void SetFatEntry(std::vector<std::uint8_t>& file, std::uint32_t sector,
                          std::uint32_t value) {
    PutU32(file, static_cast<std::size_t>(sector / 128 + 1) * 512 + 4 * (sector % 128), value);
  }

 private:
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> m_streams;
  std::uint32_t m_cutoff = 4096;
  bool m_interleave = false;
};

// Builds a property-set stream with one or more sections of typed values.
class PropertySetBuilder {
 public:
  using Value = std::vector<std::uint8_t>;

  // The next AddProperty calls go to a new section with this format identifier.
  void AddSection(const FormatId& id) { m_sections.push_back({id, {}}); }
  void AddProperty(std::uint32_t id, Value value) {
    m_sections.back().second.push_back({id, std::move(value)});
  }

  static Value Typed(std::uint16_t type, std::vector<std::uint8_t> payload) {
    Value v;
    AppendU16(v, type);
    AppendU16(v, 0);
    v.insert(v.end(), payload.begin(), payload.end());
    while (v.size() % 4) v.push_back(0);
    return v;
  }
  static Value I2(std::int16_t n) {
    std::vector<std::uint8_t> p;
    AppendU16(p, static_cast<std::uint16_t>(n));
    return Typed(kVtI2, p);
  }
  static Value I4(std::int32_t n) {
    std::vector<std::uint8_t> p;
    AppendU32(p, static_cast<std::uint32_t>(n));
    return Typed(kVtI4, p);
  }
  static Value FileTime(std::uint64_t t) {
    std::vector<std::uint8_t> p;
    AppendU32(p, static_cast<std::uint32_t>(t));
    AppendU32(p, static_cast<std::uint32_t>(t >> 32));
    return Typed(kVtFiletime, p);
  }
  // A byte string (VT_LPSTR or VT_BSTR) with its terminating NUL.
  static Value Bytes(std::uint16_t type, const std::string& s) {
    std::vector<std::uint8_t> p;
    AppendU32(p, static_cast<std::uint32_t>(s.size() + 1));
    p.insert(p.end(), s.begin(), s.end());
    p.push_back(0);
    return Typed(type, p);
  }
  static Value Wide(const std::string& utf8) {
    const std::u16string w = Utf8ToUtf16(utf8);
    std::vector<std::uint8_t> p;
    AppendU32(p, static_cast<std::uint32_t>(w.size() + 1));
    for (char16_t c : w) AppendU16(p, c);
    AppendU16(p, 0);
    return Typed(kVtLpwstr, p);
  }

  std::vector<std::uint8_t> Build() const {
    std::vector<std::uint8_t> out;
    AppendU16(out, 0xFFFE);
    AppendU16(out, 0);
    AppendU32(out, 0x00020006);
    out.resize(out.size() + 16, 0);
    AppendU32(out, static_cast<std::uint32_t>(m_sections.size()));
    const std::size_t table = out.size();
    out.resize(out.size() + 20 * m_sections.size(), 0);
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
      const auto& [id, props] = m_sections[s];
      std::copy(id.begin(), id.end(), out.begin() + static_cast<std::ptrdiff_t>(table + 20 * s));
      PutU32(out, table + 20 * s + 16, static_cast<std::uint32_t>(out.size()));
      std::vector<std::uint8_t> sec(8 + 8 * props.size(), 0);
      for (std::size_t p = 0; p < props.size(); ++p) {
        PutU32(sec, 8 + 8 * p, props[p].first);
        PutU32(sec, 12 + 8 * p, static_cast<std::uint32_t>(sec.size()));
        sec.insert(sec.end(), props[p].second.begin(), props[p].second.end());
      }
      PutU32(sec, 0, static_cast<std::uint32_t>(sec.size()));
      PutU32(sec, 4, static_cast<std::uint32_t>(props.size()));
      out.insert(out.end(), sec.begin(), sec.end());
    }
    return out;
  }

 private:
  std::vector<std::pair<FormatId, std::vector<std::pair<std::uint32_t, Value>>>> m_sections;
};

}  // namespace orvane::test
