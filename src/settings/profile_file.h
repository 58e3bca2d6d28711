// CProfile: an INI ("private profile") file kept in memory line by line.
//
// Reading finds a key in a section (both compared without regard to ASCII case, surrounding
// blanks ignored, one pair of enclosing double quotes removed from the value). Writing updates
// the key's line in place or adds it at the end of its section, so every other line, key,
// comment and section of the file stays as it was. Files are written as UTF-8 without a
// byte-order mark with LF line ends, through a temporary file and a rename.
// One object belongs to one thread.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/text_file.h"

namespace orvane {

// Values read back are cut to this many characters.
inline constexpr std::size_t kMaxProfileValue = 1023;

class CProfile {
 public:
  // Replaces the content with the file's. Any status but kOk leaves the profile empty.
  TextReadStatus Load(const std::string& path);
  // Replaces the content with a decoded file image.
  TextReadStatus LoadBytes(std::span<const std::uint8_t> bytes);

  // The value of key in section; nullopt when the key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Sets the value (line ends in it become blanks), adding section and key when missing.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The file image: UTF-8 without byte-order mark, LF after every line.
  std::string ToBytes() const;
  // Writes the file safely; false (old file untouched) when it could not be written.
  bool Save(const std::string& path) const;

  // The lines of the file image, without line ends.
  std::vector<std::string> Lines() const;

 private:
  // Where an entry lives: a line of the file, or a line added to a section.
  struct Place {
    bool added = false;
    std::size_t section = 0;  // index into m_sections when added
    std::size_t line = 0;     // index into m_lines, or into the section's added lines
  };
  struct Section {
    std::string name;
    std::size_t after = 0;  // added lines go after this line of m_lines (npos: a new section)
    std::vector<std::string> added;
  };
  void Index();

  std::vector<std::string> m_lines;
  std::vector<Section> m_sections;                              // first occurrence of each section
  std::unordered_map<std::string, std::size_t> m_sectionIndex;  // folded name -> m_sections
  std::unordered_map<std::string, Place> m_entries;             // folded "section\nkey" -> place
};

}  // namespace orvane
