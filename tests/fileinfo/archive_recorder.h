// Test helper: an ArchiveSink that records every call, checks their order, and can ask the
// lister to stop after a number of members.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileinfo/archive_member.h"

namespace orvane::test {

class ArchiveRecorder : public ArchiveSink {
 public:
  void BeginArchiveDir(const std::string& dirPath, const std::string& archiveName,
                       int baseLength) override {
    EXPECT_EQ(begins, 0) << "BeginArchiveDir twice";
    ++begins;
    dir = dirPath;
    name = archiveName;
    base = baseLength;
  }
  void AddArchiveEntry(const std::string& archivePath, const ArchiveMember& member) override {
    EXPECT_EQ(begins, 1) << "member before BeginArchiveDir";
    EXPECT_EQ(ends, 0) << "member after EndArchiveDir";
    EXPECT_EQ(archivePath, ArchiveDirPath(dir, name));
    members.push_back(member);
  }
  void EndArchiveDir(const std::string& dirPath, const std::string& archiveName,
                     std::uint64_t totalSize) override {
    EXPECT_EQ(begins, 1) << "EndArchiveDir without BeginArchiveDir";
    EXPECT_EQ(dirPath, dir);
    EXPECT_EQ(archiveName, name);
    ++ends;
    total = totalSize;
  }
  bool StopRequested() const override {
    return stopAfter >= 0 && members.size() >= static_cast<std::size_t>(stopAfter);
  }

  // The member of that name; fails the test (and returns an empty member) when there is none.
  ArchiveMember Member(const std::string& memberName) const {
    for (const ArchiveMember& m : members)
      if (m.name == memberName) return m;
    ADD_FAILURE() << "no member " << memberName;
    return ArchiveMember{};
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const ArchiveMember& m : members) out.push_back(m.name);
    return out;
  }

  int begins = 0;
  int ends = 0;
  std::string dir;
  std::string name;
  int base = -1;
  std::uint64_t total = 0;
  std::vector<ArchiveMember> members;
  int stopAfter = -1;
};

}  // namespace orvane::test
