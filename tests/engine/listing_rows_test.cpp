// Listings checked row by row and cell by cell: directory owners, scan and sort order, widths,
// archive member types, failures and memory messages.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <new>
#include <sstream>

#include "done_receiver.h"
#include "engine/listing_engine.h"
#include "fileinfo/hashes.h"
#include "platform/owner.h"
#include "platform/type_names.h"
#include "test_util.h"

namespace {
// While set, aligned allocations that may fail (the hash readers' read buffer) fail.
std::atomic<bool> g_failAlignedBuffers{false};
}  // namespace

void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  if (g_failAlignedBuffers.load()) return nullptr;
  try {
    return ::operator new[](size, align);
  } catch (...) {
    return nullptr;
  }
}

namespace orvane {
namespace {

class Receiver : public ListingReceiver {
 public:
  enum Phase { kNone, kScan, kWrite };
  void ScanBegin() override {
    if (throwOn == kScan) throw std::bad_alloc();
  }
  void WriteBegin(std::size_t) override {
    if (throwOn == kWrite) throw std::bad_alloc();
  }
  void Message(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex);
    messages.push_back(text);
  }
  void Done(ListingRequest, bool wasCancelled) override {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
    cancelled = wasCancelled;
    cv.notify_all();
  }
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait(lock, [this] { return done; });
    done = false;
  }
  std::atomic<int> throwOn{0};
  std::mutex mutex;
  std::condition_variable cv;
  std::vector<std::string> messages;
  bool done = false;
  bool cancelled = false;
};

// A listing of tmp/tree with the Name cell alone (name and extension, wide enough for any
// path), no file counts,
// no program line; tests switch on what they look at.
struct Listing {
  test::TempDir tmp;
  Receiver receiver;
  CListingEngine engine{&receiver};
  ListingJob job;
  const std::string tree = tmp / "tree";
  Listing() {
    test::NamesOnly(job.options);
    job.checkedDirs[tree] = DirCheck::kWithSubdirs;
  }
  std::vector<std::string> Generate() {
    return test::SaveAndReadLines(engine, receiver, job, tmp / "listing.txt");
  }
  // The row whose Name cell holds exactly `name` (the cell is the first 120 characters).
  static std::string Row(const std::vector<std::string>& lines, const std::string& name) {
    for (const std::string& l : lines)
      if (l.size() >= 120 && l.compare(0, name.size(), name) == 0 &&
          l.find_first_not_of(' ', name.size()) >= 120)
        return l;
    return "<no row " + name + ">";
  }
  // The text of the cell that follows the Name cell, without its padding.
  static std::string SecondCell(const std::string& row) {
    if (row.size() <= 121) return std::string();
    std::string cell = row.substr(121);
    cell.erase(cell.find_last_not_of(' ') + 1);
    return cell;
  }
  // The Name cells of the rows, in order (header excluded).
  static std::vector<std::string> Names(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      std::string n = lines[i].substr(0, 120);
      n.erase(n.find_last_not_of(' ') + 1);
      names.push_back(n);
    }
    return names;
  }
};

void Chown(const std::string& path, uid_t uid) {
  ASSERT_EQ(chown(path.c_str(), uid, 0), 0) << path;
}

TEST(ListingRows, DirectoryAndDriveRowsShowTheirOwnOwnerAndSortByIt) {
  Listing l;
  test::WriteFile(l.tree + "/a/x.txt", "x");
  test::WriteFile(l.tree + "/b/y.txt", "y");
  Chown(l.tree, 4242);
  Chown(l.tree + "/a", 4444);
  Chown(l.tree + "/b", 4343);
  l.job.options.m_bColumn[ColumnId::kOwner] = 1;
  auto lines = l.Generate();
  EXPECT_EQ(Listing::SecondCell(Listing::Row(lines, l.tree + "/")), "4242");
  EXPECT_EQ(Listing::SecondCell(Listing::Row(lines, l.tree + "/a/")), "4444");
  EXPECT_EQ(Listing::SecondCell(Listing::Row(lines, "<a>")), "4444");
  EXPECT_EQ(Listing::SecondCell(Listing::Row(lines, "x.txt")), GetFileOwner(l.tree + "/a/x.txt"));

  l.job.options.m_nDirSortKey[0] = ColumnNumber(ColumnId::kOwner);
  l.job.options.m_bFileRows = 0;
  EXPECT_EQ(Listing::Names(l.Generate()),
            (std::vector<std::string>{l.tree + "/", l.tree + "/b/", l.tree + "/a/"}));
  l.job.options.m_bDirSortDesc[0] = 1;
  EXPECT_EQ(Listing::Names(l.Generate()),
            (std::vector<std::string>{l.tree + "/a/", l.tree + "/b/", l.tree + "/"}));

  // A mounted volume's row (the root) shows the owner of its mount point.
  l.job.checkedDirs.clear();
  l.job.checkedDirs["/"] = DirCheck::kAlone;
  l.job.options.m_bDirSortDesc[0] = 0;
  EXPECT_EQ(Listing::SecondCell(Listing::Row(l.Generate(), "/")), GetFileOwner("/"));
}

TEST(ListingRows, NotSortedDescendingReversesTheScanOrder) {
  Listing l;
  for (const char* f : {"b.txt", "D.txt", "a.txt", "c.txt"}) test::WriteFile(l.tree + "/" + f, "");
  test::WriteFile(l.tree + "/m/x.txt", "");
  test::WriteFile(l.tree + "/k/x.txt", "");
  CListingOptions& o = l.job.options;
  o.m_bSurroundSubdirs = 0;
  o.m_bSubdirsFirst = 0;
  o.m_bFileSortDesc[0] = 1;
  o.m_bDirSortDesc[0] = 1;
  const std::string t = l.tree + "/";
  EXPECT_EQ(Listing::Names(l.Generate()),
            (std::vector<std::string>{t + "m/", "x.txt", t + "k/", "x.txt", t, "m", "k", "D.txt",
                                      "c.txt", "b.txt", "a.txt"}));
  o.m_bSubdirsFirst = 1;
  o.m_bDirRows = 0;
  o.m_bFilesTogether = 1;
  EXPECT_EQ(
      Listing::Names(l.Generate()),
      (std::vector<std::string>{"m", "k", "x.txt", "x.txt", "D.txt", "c.txt", "b.txt", "a.txt"}));
}

TEST(ListingRows, ScanNumbersEntriesDepthFirstInNameOrder) {
  Listing l;
  for (const char* f : {"z.txt", "B.txt", "a.txt", "m/y.txt", "m/n/w.txt", "M2/v.txt"})
    test::WriteFile(l.tree + "/" + f, "");
  CListingOptions& o = l.job.options;
  o.m_bSubdirsFirst = 0;
  o.m_bSubdirs = 0;
  o.m_bDirRows = 0;
  o.m_bFilesTogether = 1;
  o.m_bColumn[ColumnId::kNumber] = 1;
  EXPECT_EQ(Listing::Names(l.Generate()),
            (std::vector<std::string>{"1. a.txt", "2. B.txt", "3. w.txt", "4. y.txt", "5. v.txt",
                                      "6. z.txt"}));
  // Directories come in the same order: each one before the folders that follow it.
  o.m_bFilesTogether = 0;
  o.m_bDirRows = 1;
  o.m_bFileRows = 0;
  const std::string t = l.tree + "/";
  EXPECT_EQ(Listing::Names(l.Generate()),
            (std::vector<std::string>{t, t + "m/", t + "m/n/", t + "M2/"}));
}

TEST(ListingRows, AutomaticWidthsMeasureTitlesOnlyWhenTheyAreShown) {
  Listing l;
  test::WriteFile(l.tree + "/a.txt", "");
  CListingOptions& o = l.job.options;
  o.m_bAutoColumnWidths = 1;
  o.m_bColumn[ColumnId::kAttributes] = 1;  // title "Attributes" is longer than any value
  o.m_bColumnNamesInHeader = 0;
  o.m_nAlign[ColumnId::kAttributes] = 0;
  const std::string name = "a.txt";
  auto row = [&](const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
      if (line.compare(0, name.size() + 1, name + " ") == 0) return line;
    return std::string();
  };
  const std::string top = l.tree + "/";  // the widest Name cell
  EXPECT_EQ(row(l.Generate()).size(), top.size() + 1 + 5);
  o.m_bColumnNamesInHeader = 1;
  EXPECT_EQ(row(l.Generate()).size(), top.size() + 1 + std::string("Attributes").size());
}

TEST(ListingRows, ArchiveMembersGetTheTypeOfTheirName) {
  Listing l;
  test::Run("mkdir -p '" + l.tree + "' && cp '" + test::DataPath("zip/info-zip.zip") + "' '" +
            l.tree + "/Pack.zip'");
  l.job.options.m_bArchivesAsDirs = 1;
  l.job.options.m_bColumn[ColumnId::kType] = 1;
  l.job.options.m_bSurroundSubdirs = 0;
  auto lines = l.Generate();
  EXPECT_EQ(Listing::SecondCell(Listing::Row(lines, "locked.txt")),
            GetTypeName("locked.txt", false));
  EXPECT_EQ(Listing::SecondCell(Listing::Row(lines, "b.txt")), GetTypeName("b.txt", false));
  EXPECT_EQ(Listing::SecondCell(Listing::Row(lines, "sub")), GetTypeName("sub", true));
}

TEST(ListingRows, AnErrorWhileScanningOrWritingEndsTheJobAsFailed) {
  for (int phase : {Receiver::kScan, Receiver::kWrite}) {
    Listing l;
    test::WriteFile(l.tree + "/a.txt", "");
    l.receiver.throwOn = phase;
    l.Generate();
    EXPECT_FALSE(l.receiver.cancelled);
    EXPECT_TRUE(l.engine.LastWriteFailed()) << phase;
    EXPECT_EQ(l.engine.LastError(), "the listing failed: out of memory");
    // The worker survives and the next job succeeds.
    l.receiver.throwOn = Receiver::kNone;
    l.Generate();
    EXPECT_FALSE(l.engine.LastWriteFailed());
    EXPECT_TRUE(l.engine.LastError().empty());
  }
}

TEST(ListingRows, NoMemoryForHashingIsSaidOncePerFileAndColumnAndTheListingGoesOn) {
  Listing l;
  test::WriteFile(l.tree + "/a.bin", "abc");
  test::WriteFile(l.tree + "/b.bin", "abc");
  CListingOptions& o = l.job.options;
  o.m_bColumn[ColumnId::kCrc32] = 1;
  o.m_bColumn[ColumnId::kMd5] = 1;
  o.m_bAutoColumnWidths = 1;  // two passes over the rows
  g_failAlignedBuffers = true;
  auto lines = l.Generate();
  g_failAlignedBuffers = false;
  const std::string text = HashMemoryErrorText("the Orvane maintainers");
  EXPECT_EQ(l.receiver.messages, std::vector<std::string>(4, text));
  EXPECT_FALSE(l.engine.LastWriteFailed());
  EXPECT_EQ(l.engine.Files(), 2);
  bool rowA = false;
  for (const std::string& line : lines) rowA |= line.compare(0, 6, "a.bin ") == 0;
  EXPECT_TRUE(rowA);
  // The records keep their (blank) digests: no second message for the same file.
  l.Generate();
  EXPECT_EQ(l.receiver.messages.size(), 4u);
}

}  // namespace
}  // namespace orvane
