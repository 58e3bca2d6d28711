// Helpers shared by the tests: a private temporary folder, file writing and running commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::test {

// A fresh folder under $TMPDIR, removed with everything in it when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }
  // path() + "/" + rel
  std::string operator/(const std::string& rel) const { return m_path + "/" + rel; }

 private:
  std::string m_path;
};

// Writes bytes to a file (creating parent folders); aborts the test program on failure.
void WriteFile(const std::string& path, const std::string& bytes);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::string ReadFile(const std::string& path);
// The lines of a listing file without its UTF-8 byte-order mark and without the CR of CR LF.
std::vector<std::string> ReadListingLines(const std::string& path);
// Runs a shell command; returns its exit status, and its standard output in *out when given.
int Run(const std::string& command, std::string* out = nullptr);
// True when a program of that name is on PATH.
bool HaveTool(const std::string& name);
// Path of a file under tests/data.
std::string DataPath(const std::string& rel);

}  // namespace orvane::test
