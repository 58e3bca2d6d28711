#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/file_find.h"
#include "platform/file_source.h"
#include "platform/net_provider.h"
#include "platform/smb_settings.h"

namespace orvane {
namespace {

// A network in memory: places by URL, each with its entries or a failure.
class FakeNetwork : public NetProvider {
 public:
  struct Place {
    NetStatus status = NetStatus::kOk;
    std::vector<FindData> entries;
  };
  std::map<std::string, Place> places;
  std::map<std::string, std::string> files;  // URL -> content
  int asked = 0;

  NetStatus List(const NetLocation& where, std::vector<FindData>& out) override {
    ++asked;
    auto it = places.find(where.url);
    if (it == places.end()) return NetStatus::kNotFound;
    out = it->second.entries;
    return it->second.status;
  }
  NetStatus Stat(const NetLocation&, FindData&) override { return NetStatus::kNotFound; }
  std::unique_ptr<NetFile> Open(const NetLocation& where, NetStatus& status) override {
    ++asked;
    auto it = files.find(where.url);
    status = places.count(where.url) ? places[where.url].status : NetStatus::kNotFound;
    if (it == files.end()) return nullptr;
    status = NetStatus::kOk;
    struct Bytes : NetFile {
      std::string data;
      std::uint64_t Size() const override { return data.size(); }
      long long ReadAt(std::uint64_t offset, void* buf, std::size_t len) override {
        if (offset >= data.size()) return 0;
        std::size_t n = std::min<std::size_t>(len, data.size() - offset);
        std::memcpy(buf, data.data() + offset, n);
        return static_cast<long long>(n);
      }
    };
    auto f = std::make_unique<Bytes>();
    f->data = it->second;
    return f;
  }
};

FindData Entry(const std::string& name, std::uint32_t attributes = kFindArchive) {
  FindData e;
  e.name = name;
  e.attributes = attributes;
  e.size = 7;
  e.lastWrite = 1700000000;
  return e;
}

class NetFindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetNetProvider(&net);
    SetNetWarningHandler([this](const std::string& line) { warnings.push_back(line); });
  }
  void TearDown() override {
    SetNetWarningHandler(nullptr);
    SetNetProvider(nullptr);
  }
  std::vector<std::string> Names(const std::string& path) {
    CBRMNetFind f;
    std::vector<std::string> names;
    if (!f.FindFile(path)) return {"<failed>"};
    while (f.FindNextFile()) names.push_back(f.GetFileName());
    return names;
  }
  FakeNetwork net;
  std::vector<std::string> warnings;
};

TEST(NetPath, TheThreeFormsOfAFolderOnAShareReachTheSameUrl) {
  const std::string url = "smb://srv/docs/a b";
  EXPECT_EQ(ParseNetworkPath("smb://srv/docs/a b").url, url);
  EXPECT_EQ(ParseNetworkPath("\\\\srv\\docs\\a b").url, url);
  EXPECT_EQ(ParseNetworkPath("\\\\srv\\docs/a b").url, url);  // the scan joins with "/"
  EXPECT_EQ(ParseNetworkPath("Windows Network/WG/\\\\srv/docs/a b").url, url);
  EXPECT_EQ(ParseNetworkPath("Windows Network\\WG\\\\\\srv\\docs\\a b").url, url);
  EXPECT_EQ(ParseNetworkPath("smb://WG/\\\\srv/docs/a b").url, url);
  EXPECT_EQ(ParseNetworkPath("smb://srv/docs/a b").kind, NetLocation::kShare);
  EXPECT_EQ(ParseNetworkPath("smb://srv/docs").server, "srv");
}

TEST(NetPath, NamesReachTheServerLiterallyAndCannotClimbOut) {
  // URL syntax in a name is escaped, so "%41" stays three characters and "?" starts no query.
  EXPECT_EQ(ParseNetworkPath("smb://h:4450/s/100%41?#;x").url, "smb://h:4450/s/100%2541%3F%23%3Bx");
  EXPECT_EQ(ParseNetworkPath("smb://h/s/Grüße").url, "smb://h/s/Gr%C3%BC%C3%9Fe");
  EXPECT_EQ(ParseNetworkPath("smb://h/s/../t").kind, NetLocation::kInvalid);
  EXPECT_EQ(ParseNetworkPath("\\\\").kind, NetLocation::kInvalid);
  EXPECT_EQ(ParseNetworkPath("Windows Network/WG/not-a-server").kind, NetLocation::kInvalid);
  EXPECT_FALSE(IsNetworkPath("/srv/smb://x"));
  EXPECT_FALSE(IsNetworkPath("//host/share"));  // a local path on Linux
  EXPECT_FALSE(IsNetworkPath("Windows Networking"));
}

TEST(NetPath, ContainersOfTheTreeAndTypedUncPaths) {
  EXPECT_EQ(ParseNetworkPath("Windows Network").kind, NetLocation::kNetwork);
  EXPECT_EQ(ParseNetworkPath("Windows Network/WG").kind, NetLocation::kWorkgroup);
  EXPECT_EQ(ParseNetworkPath("Windows Network/WG/\\\\srv").kind, NetLocation::kServer);
  EXPECT_EQ(ParseNetworkPath("Windows Network/WG/\\\\srv").url, "smb://srv");
  EXPECT_EQ(CanonicalNetworkPath("\\\\srv\\docs\\a b"), "smb://srv/docs/a b");
  EXPECT_EQ(CanonicalNetworkPath("/home/x"), "/home/x");
}

TEST_F(NetFindTest, ContainersListDirectoriesWithBlankTimesSortedWithoutDots) {
  net.places["smb://srv"].entries = {Entry("zeta"), Entry("Alpha"), Entry("beta")};
  CBRMNetFind f;
  ASSERT_TRUE(f.FindFile("Windows Network/WG/\\\\srv"));
  std::vector<std::string> names;
  while (f.FindNextFile()) {
    names.push_back(f.GetFileName());
    EXPECT_FALSE(f.IsDots());
    EXPECT_TRUE(f.IsDirectory());
    EXPECT_FALSE(f.MatchesMask(kFindArchive | kFindReadOnly));
    EXPECT_EQ(f.GetLength(), 0u);
    EXPECT_EQ(f.GetLastWriteTime(), SafeTime(-1) + 61);  // shown blank
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "zeta"}));
}

TEST_F(NetFindTest, FoldersOfASharePassTheServersAttributesAndWalkThroughHandles) {
  net.places["smb://srv/docs"].entries = {Entry("b.txt", kFindReadOnly | kFindHidden),
                                          Entry("sub", kFindDirectory)};
  net.places["smb://srv/docs/sub"].entries = {Entry("inner.txt")};
  DirHandle share = DirHandle::Open("Windows Network/WG/\\\\srv/docs");
  ASSERT_TRUE(share.IsOpen());
  CBRMNetFind f;
  ASSERT_TRUE(f.FindFile(share));
  ASSERT_TRUE(f.FindNextFile());
  EXPECT_EQ(f.GetFileName(), "b.txt");
  EXPECT_TRUE(f.MatchesMask(kFindReadOnly));
  EXPECT_TRUE(f.MatchesMask(kFindHidden));
  EXPECT_EQ(f.GetLength(), 7u);
  DirHandle sub = share.OpenChild("sub");
  EXPECT_EQ(Names(sub.NetworkPath()), std::vector<std::string>{"inner.txt"});
  EXPECT_EQ(sub.OpenParent().NetworkPath(), "Windows Network/WG/\\\\srv/docs");
  // The parent of a share is its server, whose "\\" is part of its name.
  EXPECT_EQ(share.OpenParent().NetworkPath(), "Windows Network/WG/\\\\srv");
  EXPECT_FALSE(share.OpenChild("..").IsOpen());
}

TEST_F(NetFindTest, ASilentServerIsAskedOnceAndWarnedAboutOnce) {
  net.places["smb://dead/a"].status = NetStatus::kTimedOut;
  net.places["smb://dead/b"].status = NetStatus::kTimedOut;
  net.places["smb://live/c"].entries = {Entry("x")};
  EXPECT_EQ(Names("smb://dead/a"), std::vector<std::string>{"<failed>"});
  EXPECT_EQ(Names("smb://dead/b"), std::vector<std::string>{"<failed>"});
  EXPECT_EQ(Names("smb://live/c"), std::vector<std::string>{"x"});
  EXPECT_EQ(net.asked, 2);  // dead/b was not asked: the server is resting
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("\"dead\" did not answer"), std::string::npos);
}

TEST_F(NetFindTest, ARefusedShareIsEmptyWithOneWarning) {
  net.places["smb://srv/locked"].status = NetStatus::kAccessDenied;
  net.places["smb://srv/locked"].entries = {Entry("leak")};
  EXPECT_EQ(Names("smb://srv/locked"), std::vector<std::string>{"<failed>"});
  EXPECT_EQ(Names("smb://srv/locked"), std::vector<std::string>{"<failed>"});
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("denied"), std::string::npos);
}

TEST_F(NetFindTest, FileSourceReadsFilesOnSharesThroughTheProvider) {
  net.files["smb://srv/docs/a b.bin"] = "0123456789";
  FileSource f("\\\\srv\\docs/a b.bin");
  ASSERT_TRUE(f.IsOpen());
  EXPECT_EQ(f.Size(), 10u);
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(f.ReadAt(8, 100, out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "89");
  EXPECT_EQ(ReadFileHead("smb://srv/docs/a b.bin", 3).size(), 3u);
  EXPECT_FALSE(FileSource("smb://srv/docs/missing").IsOpen());
  EXPECT_FALSE(FileSource("smb://srv").IsOpen());  // a server is no file
}

TEST_F(NetFindTest, AServerThatStopsAnsweringDuringReadsIsNotWaitedForFileAfterFile) {
  net.places["smb://srv/docs/1.bin"].status = NetStatus::kTimedOut;
  net.files["smb://srv/docs/2.bin"] = "data";
  EXPECT_FALSE(FileSource("smb://srv/docs/1.bin").IsOpen());
  EXPECT_FALSE(FileSource("smb://srv/docs/2.bin").IsOpen());
  EXPECT_EQ(net.asked, 1);
  EXPECT_EQ(warnings.size(), 1u);
}

TEST(SmbSettings, TheSettingsFileIsReadLikeSambasOwn) {
  SmbSettings s = ParseSmbSettings(
      "[global]\n  User = alice\r\n; comment\n# password = secret\nworkgroup=OFFICE\n"
      "Show Hidden Shares = yes\ntimeout = 12\nport = 4450\nuse kerberos = no\n"
      "browse network = no\n");
  EXPECT_EQ(s.user, "alice");
  EXPECT_EQ(s.workgroup, "OFFICE");
  EXPECT_TRUE(s.showHiddenShares);
  EXPECT_EQ(s.timeoutSeconds, 12);
  EXPECT_EQ(s.port, 4450);
  EXPECT_EQ(s.kerberos, SmbSettings::Kerberos::kNo);
  EXPECT_FALSE(s.browseNetwork);
  EXPECT_TRUE(ParseSmbSettings("").browseNetwork);
  // Bad values keep the defaults; a time limit of 0 would mean waiting for ever.
  SmbSettings d = ParseSmbSettings("timeout = 0\nport = 99999\nshow hidden shares = maybe\n");
  EXPECT_EQ(d.timeoutSeconds, 5);
  EXPECT_EQ(d.port, 0);
  EXPECT_FALSE(d.showHiddenShares);
}

TEST(SmbSettings, TheWindowIsAskedForAPasswordOncePerServerAndAccount) {
  unsetenv(kSmbPasswordVariable);
  int asked = 0;
  SetSmbPasswordPrompt([&](const std::string&, const std::string&, std::string& pw) {
    ++asked;
    pw = "pw" + std::to_string(asked);
    return true;
  });
  EXPECT_EQ(FindSmbPassword("nas", "alice-test-account"), "pw1");
  EXPECT_EQ(FindSmbPassword("nas", "alice-test-account"), "pw1");
  EXPECT_EQ(FindSmbPassword("other", "alice-test-account"), "pw2");
  setenv(kSmbPasswordVariable, "from-env", 1);
  EXPECT_EQ(FindSmbPassword("third", "alice-test-account"), "from-env");
  unsetenv(kSmbPasswordVariable);
  SetSmbPasswordPrompt(nullptr);
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace orvane
