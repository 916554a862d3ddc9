// The delete modes of the local branch: the Recycle Bin through GIO (and its
// refusal on a mount without a trash), normal delete, wipe with its block
// sizes, and modes that do not exist.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "link/link.h"
#include "localfs/local_file_system.h"
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
    EXPECT_FALSE(link_.LinkDeleteFile(Side::kLocal, "C:\\plain.txt", mode));
  }
  EXPECT_TRUE(Exists(tree_ / "plain.txt"));
  EXPECT_FALSE(link_.LinkDeleteFile(Side::kLocal, "C:\\dir", kDeleteNormal));  // not a file
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\plain.txt", kDeleteNormal));
  EXPECT_FALSE(Exists(tree_ / "plain.txt"));
  EXPECT_FALSE(link_.LinkDeleteFile(Side::kLocal, "C:\\plain.txt", kDeleteNormal));
  EXPECT_FALSE(link_.LinkDeleteFile(Side::kLocal, "C:\\", kDeleteNormal));
}

TEST_F(DeleteTest, WipeOverwritesInBlocksFlushesAndDeletes) {
  std::vector<std::size_t> writes;
  files_.SetWipeObserver([&](std::size_t n) { writes.push_back(n); });

  WriteFile(tree_ / "empty", "");
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\empty", kDeleteWipe));
  EXPECT_TRUE(writes.empty());
  EXPECT_FALSE(Exists(tree_ / "empty"));

  const std::string original(20000, 'A');
  WriteFile(tree_ / "secret", original);
  // A descriptor held open keeps the inode, so the bytes the wipe left can be
  // read (a second name would keep the wipe off the bytes).
  const int witness = open((tree_ / "secret").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(witness, 0);
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\secret", kDeleteWipe));
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

  EXPECT_FALSE(link_.LinkDeleteFile(Side::kLocal, "C:\\missing", kDeleteWipe));
}

TEST_F(DeleteTest, EveryModeDeletesALinkAndNeverWhatItLeadsTo) {
  WriteFile(tree_ / "target", "keep me");
  for (std::int32_t mode : {kDeleteRecycle, kDeleteNormal, kDeleteWipe}) {
    ASSERT_EQ(symlink("target", (tree_ / "alias").c_str()), 0);
    EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\alias", mode)) << mode;
    EXPECT_FALSE(Exists(tree_ / "alias"));
    EXPECT_EQ(ReadFile(tree_ / "target"), "keep me");
  }
}

TEST_F(DeleteTest, RecycleBinMovesFileAndDirectoryToTheTrash) {
  WriteFile(tree_ / "old.txt", "recover me");
  MakeDir(tree_ / "olddir");
  WriteFile(tree_ / "olddir/inside", "1");
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\old.txt", kDeleteRecycle));
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\olddir", kDeleteRecycle));
  EXPECT_FALSE(Exists(tree_ / "old.txt"));
  EXPECT_FALSE(Exists(tree_ / "olddir"));
  const std::string trash = TrashHome::home() / "data/Trash";
  EXPECT_EQ(ReadFile(trash + "/files/old.txt"), "recover me");
  EXPECT_TRUE(Exists(trash + "/files/olddir/inside"));
  EXPECT_TRUE(Exists(trash + "/info/old.txt.trashinfo"));
  EXPECT_FALSE(link_.LinkDeleteFile(Side::kLocal, "C:\\old.txt", kDeleteRecycle));
}

TEST_F(DeleteTest, TrashInfoKeepsTheTrueOriginalPath) {
  WriteFile(tree_ / "sub dir/a file", "x");
  WriteFile(tree_ / "other/a file", "y");
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\sub dir\\a file", kDeleteRecycle));
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\other\\a file", kDeleteRecycle));
  const std::string trash = TrashHome::home() / "data/Trash";
  // The second of two namesakes gets a name of its own; both remember where
  // they came from, escaped as a URI path.
  std::string escaped = tree_.path();
  const std::string first = ReadFile(trash + "/info/a file.trashinfo");
  const std::string second = ReadFile(trash + "/info/a file.2.trashinfo");
  EXPECT_NE(first.find("Path=" + escaped + "/sub%20dir/a%20file\n"), std::string::npos) << first;
  EXPECT_NE(second.find("Path=" + escaped + "/other/a%20file\n"), std::string::npos) << second;
  EXPECT_NE(first.find("DeletionDate="), std::string::npos);
  EXPECT_EQ(ReadFile(trash + "/files/a file"), "x");
  EXPECT_EQ(ReadFile(trash + "/files/a file.2"), "y");
}

TEST_F(DeleteTest, RecycleBinOfALinkTrashesTheLinkOnly) {
  WriteFile(tree_ / "target", "keep me");
  ASSERT_EQ(symlink("target", (tree_ / "alias").c_str()), 0);
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\alias", kDeleteRecycle));
  EXPECT_EQ(ReadFile(tree_ / "target"), "keep me");
  struct stat info;
  EXPECT_EQ(lstat((TrashHome::home() / "data/Trash/files/alias").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// A local user who can write in the served folder and watches the trash: the
// moment a delete has claimed its place there (the .trashinfo appears), the
// directory the file is in is swapped for a link to a folder outside, and put
// back when the delete has returned. Driven by the trash's own events, so the
// swap always lands between finding the file and moving it.
class DirectorySwapper {
 public:
  DirectorySwapper(const std::string& dir, const std::string& outside, const std::string& info)
      : dir_(dir), outside_(outside), watch_(inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
    EXPECT_EQ(pipe(requests_), 0);
    EXPECT_EQ(pipe(answers_), 0);
    EXPECT_GE(inotify_add_watch(watch_, info.c_str(), IN_CREATE), 0);
    thread_ = std::thread([this] { Run(); });
  }
  ~DirectorySwapper() {
    Ask('q');
    thread_.join();
    for (int fd : {watch_, requests_[0], requests_[1], answers_[0], answers_[1]}) close(fd);
  }
  // Puts the real directory back; returns once it is there.
  void Restore() { Ask('r'); }
  int swaps() const { return swaps_; }

 private:
  void Ask(char request) {
    ASSERT_EQ(write(requests_[1], &request, 1), 1);
    char done;
    ASSERT_EQ(read(answers_[0], &done, 1), 1);
  }
  // Swaps at the first .trashinfo created since the last restore.
  void TakeEvents() {
    alignas(inotify_event) char buffer[4096];
    while (read(watch_, buffer, sizeof(buffer)) > 0) {
      if (swapped_) continue;
      rename(dir_.c_str(), (dir_ + ".real").c_str());
      symlink(outside_.c_str(), dir_.c_str());
      swapped_ = true;
      ++swaps_;
    }
  }
  void Run() {
    for (;;) {
      pollfd fds[2] = {{watch_, POLLIN, 0}, {requests_[0], POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      TakeEvents();
      if ((fds[1].revents & POLLIN) == 0) continue;
      char request;
      if (read(requests_[0], &request, 1) != 1) return;
      if (swapped_) {
        unlink(dir_.c_str());
        rename((dir_ + ".real").c_str(), dir_.c_str());
        swapped_ = false;
      }
      const char done = 'd';
      if (write(answers_[1], &done, 1) != 1 || request == 'q') return;
    }
  }

  std::string dir_, outside_;
  int watch_;
  int requests_[2] = {-1, -1};
  int answers_[2] = {-1, -1};
  bool swapped_ = false;
  std::atomic<int> swaps_{0};
  std::thread thread_;
};

// Recycle Bin deletes of the files of a served directory while it is swapped
// as above: each delete moves the served file or nothing; nothing outside the
// served folder may move.
TEST(RecycleBinRaceTest, SwappingADirectoryForALinkNeverReachesOutside) {
  constexpr int kFiles = 40;
  TempTree tree;
  const std::string share = tree / "share";
  const std::string outside = tree / "outside";
  for (int i = 0; i < kFiles; ++i) {
    WriteFile(share + "/d/f" + std::to_string(i), "served");
    WriteFile(outside + "/f" + std::to_string(i), "outside");
  }
  const std::string before = Fingerprint(outside);
  const std::string info = TrashHome::home() / "data/Trash/info";
  MakeDir(info);
  LocalFileSystem files({{'C', share}}, true);
  Link link(files, nullptr);

  int deleted = 0;
  DirectorySwapper swapper(share + "/d", outside, info);
  for (int i = 0; i < kFiles; ++i) {
    if (link.LinkDeleteFile(Side::kLocal, "C:\\d\\f" + std::to_string(i), kDeleteRecycle)) ++deleted;
    swapper.Restore();
  }
  EXPECT_EQ(Fingerprint(outside), before);
  EXPECT_EQ(swapper.swaps(), kFiles);
  // The served files went to the trash as asked, race or not.
  EXPECT_EQ(deleted, kFiles);
  for (int i = 0; i < kFiles; ++i) EXPECT_FALSE(Exists(share + "/d/f" + std::to_string(i)));
}

TEST(RecycleBinRefusalTest, NoTrashOnTheMountMeansFalseAndTheFileStays) {
  char pattern[] = "/dev/shm/duplane-XXXXXX";
  if (mkdtemp(pattern) == nullptr) GTEST_SKIP() << "no /dev/shm";
  const std::string dir = pattern;
  WriteFile(dir + "/file", "x");
  LocalFileSystem files({{'C', dir}}, true);
  Link link(files, nullptr);
  EXPECT_FALSE(link.LinkDeleteFile(Side::kLocal, "C:\\file", kDeleteRecycle));
  EXPECT_TRUE(Exists(dir + "/file"));
  unlink((dir + "/file").c_str());
  rmdir(dir.c_str());
}

}  // namespace
}  // namespace duplane
