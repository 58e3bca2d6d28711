#include "platform/owner.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "test_util.h"

namespace orvane {
namespace {

std::string CurrentUserName() {
  const passwd* pw = getpwuid(geteuid());
  return pw ? pw->pw_name : std::to_string(geteuid());
}

// A user id the user database has no name for.
uid_t UnnamedUid() {
  for (uid_t uid = 54321; uid < 54400; ++uid)
    if (!getpwuid(uid)) return uid;
  return 0;
}

TEST(Owner, NamesTheCurrentUserAndCachesTheLastOwner) {
  test::TempDir dir;
  test::WriteFile(dir / "a.txt", "a");
  test::WriteFile(dir / "b.txt", "b");
  EXPECT_EQ(GetFileOwner(dir / "a.txt"), CurrentUserName());
  const std::uint64_t lookups = OwnerLookupCount();
  EXPECT_EQ(GetFileOwner(dir / "b.txt"), CurrentUserName());
  EXPECT_EQ(GetFileOwner(dir.path()), CurrentUserName());  // directories too
  EXPECT_EQ(OwnerLookupCount(), lookups);                  // same owner: answered from the cache
  EXPECT_EQ(GetFileOwner(dir / "missing.txt"), "");
}

TEST(Owner, AUserWithoutNameShowsItsNumberAndLinksShowTheirTarget) {
  if (geteuid() != 0) GTEST_SKIP() << "changing a file's owner needs root";
  const uid_t uid = UnnamedUid();
  ASSERT_NE(uid, 0u);
  test::TempDir dir;
  test::WriteFile(dir / "orphan.txt", "x");
  ASSERT_EQ(chown((dir / "orphan.txt").c_str(), uid, static_cast<gid_t>(-1)), 0);
  ASSERT_EQ(symlink("orphan.txt", (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink("gone.txt", (dir / "dangling").c_str()), 0);

  const std::uint64_t before = OwnerLookupCount();
  EXPECT_EQ(GetFileOwner(dir / "orphan.txt"), std::to_string(uid));
  EXPECT_EQ(GetFileOwner(dir / "link"), std::to_string(uid));
  EXPECT_EQ(OwnerLookupCount(), before + 1);
  // A dangling link reports its own owner (the creator, root here).
  EXPECT_EQ(GetFileOwner(dir / "dangling"), CurrentUserName());
  EXPECT_EQ(OwnerLookupCount(), before + 2);
}

}  // namespace
}  // namespace orvane
