// The delete modes of the local branch: the Recycle Bin through GIO (and its
// refusal on a mount without a trash), normal delete, wipe with its block
// sizes, and modes that do not exist.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "link/link.h"
#include "link/local_file_system.h"
#include "support/temp_tree.h"

namespace duplane {
namespace {

// GLib reads XDG_DATA_HOME once, at its first use: point it at a folder of our
// own before anything in this program can touch GIO, so the user's trash is
// never used.
class TrashHome : public ::testing::Environment {
 public:
  void SetUp() override { setenv("XDG_DATA_HOME", (home_ / "data").c_str(), 1); }
  static const TempTree& home() { return home_; }

 private:
  static TempTree home_;
};
TempTree TrashHome::home_;
const auto* const kTrashHome = ::testing::AddGlobalTestEnvironment(new TrashHome);

class DeleteTest : public ::testing::Test {
 protected:
  DeleteTest() : files_({{'C', tree_.path()}}, true), link_(files_, nullptr) {}

  TempTree tree_;
  LocalFileSystem files_;
  Link link_;
};

TEST_F(DeleteTest, NormalDeleteAndUnknownModes) {
  WriteFile(tree_ / "plain.txt", "x");
  MakeDir(tree_ / "dir");
  for (std::int32_t mode : {3, -1, 255}) {
    EXPECT_FALSE(link_.LinkDeleteFile(true, "C:\\plain.txt", mode));
  }
  EXPECT_TRUE(Exists(tree_ / "plain.txt"));
  EXPECT_FALSE(link_.LinkDeleteFile(true, "C:\\dir", kDeleteNormal));  // not a file
  EXPECT_TRUE(link_.LinkDeleteFile(true, "C:\\plain.txt", kDeleteNormal));
  EXPECT_FALSE(Exists(tree_ / "plain.txt"));
  EXPECT_FALSE(link_.LinkDeleteFile(true, "C:\\plain.txt", kDeleteNormal));
  EXPECT_FALSE(link_.LinkDeleteFile(true, "C:\\", kDeleteNormal));
}

TEST_F(DeleteTest, WipeOverwritesInBlocksFlushesAndDeletes) {
  std::vector<std::size_t> writes;
  files_.SetWipeObserver([&](std::size_t n) { writes.push_back(n); });

  WriteFile(tree_ / "empty", "");
  EXPECT_TRUE(link_.LinkDeleteFile(true, "C:\\empty", kDeleteWipe));
  EXPECT_TRUE(writes.empty());
  EXPECT_FALSE(Exists(tree_ / "empty"));

  const std::string original(20000, 'A');
  WriteFile(tree_ / "secret", original);
  // A descriptor held open keeps the inode, so the bytes the wipe left can be
  // read (a second name would keep the wipe off the bytes).
  const int witness = open((tree_ / "secret").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(witness, 0);
  EXPECT_TRUE(link_.LinkDeleteFile(true, "C:\\secret", kDeleteWipe));
  EXPECT_EQ(writes, (std::vector<std::size_t>{8192, 8192, 3616}));
  EXPECT_FALSE(Exists(tree_ / "secret"));
  std::string left(original.size() + 1, '\0');
  left.resize(
      static_cast<std::size_t>(std::max<ssize_t>(0, pread(witness, &left[0], left.size(), 0))));
  close(witness);
  ASSERT_EQ(left.size(), original.size());
  EXPECT_LT(std::count(left.begin(), left.end(), 'A'), 300);  // ~1/256 by chance
  // Every block drew fresh bytes.
  EXPECT_NE(left.substr(0, 3616), left.substr(8192, 3616));
  EXPECT_NE(left.substr(8192, 3616), left.substr(16384, 3616));

  EXPECT_FALSE(link_.LinkDeleteFile(true, "C:\\missing", kDeleteWipe));
}

TEST_F(DeleteTest, EveryModeDeletesALinkAndNeverWhatItLeadsTo) {
  WriteFile(tree_ / "target", "keep me");
  for (std::int32_t mode : {kDeleteRecycle, kDeleteNormal, kDeleteWipe}) {
    ASSERT_EQ(symlink("target", (tree_ / "alias").c_str()), 0);
    EXPECT_TRUE(link_.LinkDeleteFile(true, "C:\\alias", mode)) << mode;
    EXPECT_FALSE(Exists(tree_ / "alias"));
    EXPECT_EQ(ReadFile(tree_ / "target"), "keep me");
  }
}

TEST_F(DeleteTest, RecycleBinMovesFileAndDirectoryToTheTrash) {
  WriteFile(tree_ / "old.txt", "recover me");
  MakeDir(tree_ / "olddir");
  WriteFile(tree_ / "olddir/inside", "1");
  EXPECT_TRUE(link_.LinkDeleteFile(true, "C:\\old.txt", kDeleteRecycle));
  EXPECT_TRUE(link_.LinkDeleteFile(true, "C:\\olddir", kDeleteRecycle));
  EXPECT_FALSE(Exists(tree_ / "old.txt"));
  EXPECT_FALSE(Exists(tree_ / "olddir"));
  const std::string trash = TrashHome::home() / "data/Trash";
  EXPECT_EQ(ReadFile(trash + "/files/old.txt"), "recover me");
  EXPECT_TRUE(Exists(trash + "/files/olddir/inside"));
  EXPECT_TRUE(Exists(trash + "/info/old.txt.trashinfo"));
  EXPECT_FALSE(link_.LinkDeleteFile(true, "C:\\old.txt", kDeleteRecycle));
}

TEST(RecycleBinRefusalTest, NoTrashOnTheMountMeansFalseAndTheFileStays) {
  char pattern[] = "/dev/shm/duplane-XXXXXX";
  if (mkdtemp(pattern) == nullptr) GTEST_SKIP() << "no /dev/shm";
  const std::string dir = pattern;
  WriteFile(dir + "/file", "x");
  LocalFileSystem files({{'C', dir}}, true);
  Link link(files, nullptr);
  EXPECT_FALSE(link.LinkDeleteFile(true, "C:\\file", kDeleteRecycle));
  EXPECT_TRUE(Exists(dir + "/file"));
  unlink((dir + "/file").c_str());
  rmdir(dir.c_str());
}

}  // namespace
}  // namespace duplane
