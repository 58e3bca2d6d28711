// ByteCursor: bounds-checked reading of a byte range, for every reader of a binary file format.
//
// Every read returns false when the bytes run out and then leaves the cursor where it was, so a
// reader can stop on the spot with whatever it has gathered. Integers are decoded byte by byte in
// the stated byte order; headers are never cast over the buffer. Not thread-safe (one reader owns
// one cursor); the cursor never owns the bytes it reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orvane {

class ByteCursor {
 public:
  ByteCursor() = default;
  explicit ByteCursor(std::span<const std::uint8_t> bytes) : m_data(bytes) {}

  std::size_t Size() const { return m_data.size(); }
  std::size_t Pos() const { return m_pos; }
  std::size_t Remaining() const { return m_data.size() - m_pos; }
  bool AtEnd() const { return m_pos >= m_data.size(); }
  std::span<const std::uint8_t> Bytes() const { return m_data; }
  // The bytes from the current position to the end.
  std::span<const std::uint8_t> Rest() const { return m_data.subspan(m_pos); }

  // Moves to an absolute position; false (cursor unchanged) past the end.
  bool Seek(std::size_t pos) {
    if (pos > m_data.size()) return false;
    m_pos = pos;
    return true;
  }
  bool Skip(std::uint64_t n) {
    if (n > Remaining()) return false;
    m_pos += static_cast<std::size_t>(n);
    return true;
  }

  bool U8(std::uint8_t& v) {
    return Read(1, [&](const std::uint8_t* p) { v = p[0]; });
  }
  bool U16LE(std::uint16_t& v) {
    return Read(2,
                [&](const std::uint8_t* p) { v = static_cast<std::uint16_t>(p[0] | p[1] << 8); });
  }
  bool U16BE(std::uint16_t& v) {
    return Read(2,
                [&](const std::uint8_t* p) { v = static_cast<std::uint16_t>(p[1] | p[0] << 8); });
  }
  bool U32LE(std::uint32_t& v) {
    return Read(4, [&](const std::uint8_t* p) { v = LoadLE(p, 4); });
  }
  bool U32BE(std::uint32_t& v) {
    return Read(4, [&](const std::uint8_t* p) { v = LoadBE(p, 4); });
  }
  bool U64LE(std::uint64_t& v) {
    return Read(8, [&](const std::uint8_t* p) { v = LoadLE64(p, 8); });
  }
  bool U64BE(std::uint64_t& v) {
    return Read(8, [&](const std::uint8_t* p) { v = LoadBE64(p, 8); });
  }

  // Copies n bytes into out; false (nothing copied) when fewer remain.
  bool Bytes(std::size_t n, std::uint8_t* out) {
    return Read(n, [&](const std::uint8_t* p) {
      for (std::size_t i = 0; i < n; ++i) out[i] = p[i];
    });
  }
  // Takes the next n bytes as a sub-range and advances past them.
  bool Sub(std::uint64_t n, std::span<const std::uint8_t>& out) {
    if (n > Remaining()) return false;
    out = m_data.subspan(m_pos, static_cast<std::size_t>(n));
    m_pos += static_cast<std::size_t>(n);
    return true;
  }
  bool Sub(std::uint64_t n, ByteCursor& out) {
    std::span<const std::uint8_t> s;
    if (!Sub(n, s)) return false;
    out = ByteCursor(s);
    return true;
  }
  // The next n bytes as raw characters.
  bool Str(std::size_t n, std::string& out) {
    std::span<const std::uint8_t> s;
    if (!Sub(n, s)) return false;
    out.assign(reinterpret_cast<const char*>(s.data()), s.size());
    return true;
  }
  // True when the next bytes equal the given ones; advances past them only then.
  bool Match(std::string_view magic) {
    if (magic.size() > Remaining()) return false;
    for (std::size_t i = 0; i < magic.size(); ++i)
      if (m_data[m_pos + i] != static_cast<std::uint8_t>(magic[i])) return false;
    m_pos += magic.size();
    return true;
  }

  // Static decoders of little- and big-endian integers of up to 8 bytes.
  static std::uint32_t LoadLE(const std::uint8_t* p, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
  }
  static std::uint32_t LoadBE(const std::uint8_t* p, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
  }
  static std::uint64_t LoadLE64(const std::uint8_t* p, int n) {
    std::uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
  }
  static std::uint64_t LoadBE64(const std::uint8_t* p, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
  }

 private:
  template <typename F>
  bool Read(std::size_t n, F&& take) {
    if (n > Remaining()) return false;
    take(m_data.data() + m_pos);
    m_pos += n;
    return true;
  }

  std::span<const std::uint8_t> m_data;
  std::size_t m_pos = 0;
};

}  // namespace orvane
