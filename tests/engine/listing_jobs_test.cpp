// Jobs carry everything a generation needs: two engines with different jobs run side by side
// and each writes what it writes alone.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "done_receiver.h"
#include "engine/listing_engine.h"
#include "test_util.h"

namespace orvane {
namespace {

using test::DoneReceiver;

// A tree whose names, sizes and contents differ, so that the two sort keys give different
// orders.
std::string MakeTree(const test::TempDir& tmp) {
  const std::string root = tmp / "tree";
  for (int d = 0; d < 8; ++d) {
    for (int f = 0; f < 60; ++f) {
      const int n = (f * 37 + d * 11) % 97;
      test::WriteFile(root + "/dir" + std::to_string(d) + "/f" + std::to_string(n) + "_" +
                          std::to_string(f) + (f % 3 ? ".txt" : ".dat"),
                      std::string(static_cast<std::size_t>((n * 13) % 200), 'a' + f % 26));
    }
  }
  return root;
}

ListingJob SizeDescendingText(const std::string& root, const std::string& out) {
  ListingJob job;
  job.options.m_bProgramInfoInHeader = 0;
  job.options.m_nOutputType = kOutputText;
  job.options.m_bColumn[ColumnId::kCrc32] = 1;
  job.options.m_nFileSortKey = {ColumnNumber(ColumnId::kSize), ColumnNumber(ColumnId::kName),
                                kNotSorted};
  job.options.m_bFileSortDesc = {1, 0, 0};
  job.options.m_nDirSortKey = {ColumnNumber(ColumnId::kName), kNotSorted, kNotSorted};
  job.options.m_bDirSortDesc = {1, 0, 0};
  job.checkedDirs[root] = DirCheck::kWithSubdirs;
  job.request = kRequestSave;
  job.outputPath = out;
  return job;
}

ListingJob ExtensionHtml(const std::string& root, const std::string& out) {
  ListingJob job;
  job.options.m_bProgramInfoInHeader = 0;
  job.options.m_nOutputType = kOutputHtml;
  job.options.m_bColumn[ColumnId::kExtension] = 1;
  job.options.m_bFilesTogether = 1;
  job.options.m_nFileSortKey = {ColumnNumber(ColumnId::kExtension), ColumnNumber(ColumnId::kName),
                                kNotSorted};
  job.options.m_bSubdirsFirst = 0;
  job.checkedDirs[root] = DirCheck::kWithSubdirs;
  job.request = kRequestPreview;
  job.outputPath = out;
  return job;
}

std::string RunAlone(const ListingJob& job) {
  DoneReceiver receiver;
  CListingEngine engine(&receiver);
  EXPECT_TRUE(engine.StartGeneration(job));
  receiver.Wait();
  engine.WaitReady();
  EXPECT_FALSE(engine.LastWriteFailed());
  return test::ReadFile(job.outputPath);
}

TEST(ListingJobs, TwoEnginesSideBySideWriteWhatEachWritesAlone) {
  test::TempDir tmp;
  const std::string root = MakeTree(tmp);
  const ListingJob a = SizeDescendingText(root, tmp / "a.txt");
  const ListingJob b = ExtensionHtml(root, tmp / "b.html");
  const std::string aloneA = RunAlone(a);
  const std::string aloneB = RunAlone(b);
  ASSERT_NE(aloneA.find("f96_"), std::string::npos);
  ASSERT_NE(aloneB.find("f96_"), std::string::npos);

  DoneReceiver receiverA, receiverB;
  CListingEngine engineA(&receiverA), engineB(&receiverB);
  for (int round = 0; round < 4; ++round) {
    ListingJob jobA = a, jobB = b;
    jobA.outputPath = tmp / ("a" + std::to_string(round) + ".txt");
    jobB.outputPath = tmp / ("b" + std::to_string(round) + ".html");
    // Alternate which one starts first, so each one's write phase meets the other's start.
    if (round % 2) {
      ASSERT_TRUE(engineB.StartGeneration(jobB));
      ASSERT_TRUE(engineA.StartGeneration(jobA));
    } else {
      ASSERT_TRUE(engineA.StartGeneration(jobA));
      ASSERT_TRUE(engineB.StartGeneration(jobB));
    }
    receiverA.Wait();
    receiverB.Wait();
    engineA.WaitReady();
    engineB.WaitReady();
    EXPECT_EQ(test::ReadFile(jobA.outputPath), aloneA) << "round " << round;
    EXPECT_EQ(test::ReadFile(jobB.outputPath), aloneB) << "round " << round;
  }
}

TEST(ListingJobs, TheJobsWriterFactoryAndTemporaryFileMakerAreUsed) {
  test::TempDir tmp;
  test::WriteFile(tmp / "tree/a.txt", "a");
  DoneReceiver receiver;
  CListingEngine engine(&receiver);
  ListingJob job;
  job.options.m_nOutputType = kOutputCsv;
  job.checkedDirs[tmp / "tree"] = DirCheck::kAlone;
  int asked = -1;
  job.makeTempFile = [&](int outputType) {
    asked = outputType;
    return tmp / "temp.csv";
  };
  int writers = 0;
  job.makeWriter = [&](const WriterOptions& o, OutputContext& context) {
    ++writers;
    return CreateOutput(o, context);
  };
  ASSERT_TRUE(engine.StartGeneration(job));
  receiver.Wait();
  engine.WaitReady();
  EXPECT_EQ(asked, kOutputCsv);
  EXPECT_EQ(writers, 1);
  EXPECT_EQ(engine.OutputPath(), tmp / "temp.csv");
  EXPECT_FALSE(engine.LastWriteFailed());
  EXPECT_NE(test::ReadFile(tmp / "temp.csv").find("a;"), std::string::npos);

  // Without a path and without a maker the job fails instead of writing somewhere.
  job.makeTempFile = nullptr;
  ASSERT_TRUE(engine.StartGeneration(job));
  receiver.Wait();
  engine.WaitReady();
  EXPECT_TRUE(engine.LastWriteFailed());
}

// Every job that was started ends with one report, even one stopped before the worker took it
// up (a window waits for that report to leave its generating state).
TEST(ListingJobs, AJobStoppedAtOnceStillReportsItsEnd) {
  test::TempDir tmp;
  test::WriteFile(tmp / "tree/a.txt", "a");
  class CountingReceiver : public ListingReceiver {
   public:
    void Done(ListingRequest, bool) override { ++done; }
    std::atomic<int> done{0};
  } receiver;
  ListingJob job = SizeDescendingText(tmp / "tree", tmp / "out.txt");
  for (int i = 0; i < 200; ++i) {
    CListingEngine engine(&receiver);
    ASSERT_TRUE(engine.StartGeneration(job));
    engine.StopGeneration();
    ASSERT_EQ(receiver.done.load(), i + 1) << "start " << i;
  }
}

}  // namespace
}  // namespace orvane
