// The engine asks its services, not the system, for type names, owners and volumes: rows built
// from a fake show exactly what it says.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "done_receiver.h"
#include "engine/listing_engine.h"
#include "test_util.h"

namespace orvane {
namespace {

class FakeServices : public ListingServices {
 public:
  explicit FakeServices(std::string volume) : m_volume(std::move(volume)) {}
  std::string TypeName(const std::string& name, bool isDirectory) override {
    return (isDirectory ? "folder " : "type of ") + name;
  }
  std::string Owner(const std::string& path) override {
    return "user" + std::to_string(path.size());
  }
  bool Volume(const std::string& path, VolumeInfo& out) override {
    if (path != m_volume) return false;
    out.serial = "0BAD-F00D";
    out.fileSystem = "fakefs";
    return true;
  }
  std::string MountPoint(const std::string&) override { return m_volume; }

 private:
  std::string m_volume;
};

using test::DoneReceiver;

TEST(ListingServices, RowsShowTheTypesOwnersAndVolumeTheServicesGive) {
  test::TempDir tmp;
  const std::string tree = tmp / "tree";
  test::WriteFile(tree + "/a.txt", "a");
  test::WriteFile(tree + "/sub/b.dat", "bb");
  FakeServices services(tree);
  DoneReceiver receiver;
  CListingEngine engine(&receiver, &services);
  ListingJob job;
  CListingOptions& o = job.options;
  o.m_nOutputType = kOutputCsv;
  o.m_bProgramInfoInHeader = 0;
  o.m_bColumnNamesInHeader = 0;
  o.m_bFileCountInDirRow = 0;
  o.m_bSurroundSubdirs = 0;
  o.m_bColumn.fill(0);
  o.m_bColumn[ColumnId::kType] = 1;
  o.m_bColumn[ColumnId::kOwner] = 1;
  o.m_bColumn[ColumnId::kFileVersion] = 1;
  o.m_nPathForm = kPathNoDrive;
  o.m_nFileSortKey = {ColumnNumber(ColumnId::kName), kNotSorted, kNotSorted};
  o.m_nDirSortKey = {ColumnNumber(ColumnId::kName), kNotSorted, kNotSorted};
  job.checkedDirs[tree] = DirCheck::kWithSubdirs;
  job.request = kRequestSave;
  job.outputPath = tmp / "out.csv";
  ASSERT_TRUE(engine.StartGeneration(job));
  receiver.Wait();
  engine.WaitReady();
  ASSERT_FALSE(engine.LastWriteFailed());
  const std::string user = "user" + std::to_string(tree.size());
  const std::string subUser = "user" + std::to_string(tree.size() + 4);
  // The checked directory is a volume: its row shows the file system and the serial; paths are
  // shown without the mount point the services name; subdirectories come first.
  EXPECT_EQ(test::ReadListingLines(tmp / "out.csv"),
            (std::vector<std::string>{
                "/;fakefs;" + user + ";0BAD-F00D",
                "sub;folder sub;" + subUser + ";",
                "a;type of a.txt;user" + std::to_string(tree.size() + 6) + ";",
                "/sub/;;" + subUser + ";",
                "b;type of b.dat;user" + std::to_string(tree.size() + 10) + ";",
            }));
}

}  // namespace
}  // namespace orvane
