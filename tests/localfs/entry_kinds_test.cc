// Entries that are no plain file, through the local branch of the program
// (unconfined) and of the Remote Module (confined, with either walk): what a
// search and LinkFileGetAttr tell about links, FIFOs and devices; that no
// operation ever opens one of them (inotify sees every real open, and an
// O_PATH look at an entry is none); and that nothing is written through a
// symbolic link or through a hard link that another name still holds.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <map>

#include "link/link.h"
#include "localfs/local_file_system.h"
#include "support/temp_tree.h"

namespace duplane {
namespace {

struct Flavour {
  const char* name;
  bool confine;
  PathWalk walk;
};

class EntryKindsTest : public ::testing::TestWithParam<Flavour> {
 protected:
  EntryKindsTest() : files_({{'C', Drive()}}, GetParam().confine, GetParam().walk) {}

  // C:\{FILE.TXT DIR\ LINKDIR->DIR LINKFILE->FILE.TXT DANGLING->nowhere FIFO}
  // and, when this test may make one, NULLDEV (the null device).
  std::string Drive() {
    WriteFile(tree_ / "c/FILE.TXT", "plain file");
    MakeDir(tree_ / "c/DIR");
    symlink("DIR", (tree_ / "c/LINKDIR").c_str());
    symlink("FILE.TXT", (tree_ / "c/LINKFILE").c_str());
    symlink("nowhere", (tree_ / "c/DANGLING").c_str());
    mkfifo((tree_ / "c/FIFO").c_str(), 0666);
    has_device_ = mknod((tree_ / "c/NULLDEV").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    return tree_ / "c";
  }

  // Every entry of C:\ by name with its attribute bits.
  std::map<std::string, std::uint32_t> Listing() {
    std::map<std::string, std::uint32_t> found;
    std::int32_t result = files_.FindFirst(1, "C:\\*.*", kMaskEverything, &record_);
    for (; result == 0; result = files_.FindNext(1, &record_)) {
      found[record_.name] = record_.attributes;
    }
    files_.FindClose(1);
    return found;
  }

  std::vector<std::string> Specials() const {
    std::vector<std::string> names = {"FIFO"};
    if (has_device_) names.push_back("NULLDEV");
    return names;
  }

  TempTree tree_;
  bool has_device_ = false;
  LocalFileSystem files_;
  FindRecord record_;
};

constexpr std::uint32_t kKindBits = kAttrDirectory | kAttrDevice | kAttrReparsePoint;

TEST_P(EntryKindsTest, SearchAndAttributesTellLinksAndSpecialFiles) {
  std::map<std::string, std::uint32_t> expected = {{"FILE.TXT", 0},
                                                   {"DIR", kAttrDirectory},
                                                   {"LINKDIR", kAttrDirectory | kAttrReparsePoint},
                                                   {"LINKFILE", kAttrReparsePoint},
                                                   {"DANGLING", kAttrReparsePoint | kAttrDevice},
                                                   {"FIFO", kAttrDevice}};
  if (has_device_) expected["NULLDEV"] = kAttrDevice;
  std::map<std::string, std::uint32_t> listed = Listing();
  for (auto& [name, attributes] : listed) attributes &= kKindBits;
  EXPECT_EQ(listed, expected);
  for (const auto& [name, bits] : expected) {
    const std::int32_t attributes = files_.FileGetAttr("C:\\" + name);
    ASSERT_NE(attributes, -1) << name;
    EXPECT_EQ(static_cast<std::uint32_t>(attributes) & kKindBits, bits) << name;
  }
  // A link to a plain file is read like the file; one to a directory still
  // opens by hand.
  EXPECT_EQ(files_.FileExists("C:\\LINKFILE"), true);
  EXPECT_EQ(files_.ChDir("C:\\LINKDIR"), 0);
}

TEST_P(EntryKindsTest, NoOperationOpensAFifoOrADevice) {
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  for (const std::string& name : Specials()) {
    ASSERT_GE(inotify_add_watch(watch, (tree_ / ("c/" + name)).c_str(), IN_OPEN), 0);
  }
  Listing();
  for (const std::string& name : Specials()) {
    const std::string path = "C:\\" + name;
    for (std::int32_t mode : {0, 1, 2, 0x40, 0x42}) {
      EXPECT_EQ(files_.FileOpen(path, mode), -1) << name << " mode " << mode;
    }
    EXPECT_EQ(files_.FileCreate(path), -1) << name;
    EXPECT_EQ(files_.FileAge(path), -1);
    std::int32_t normal = 0, open = 0;
    files_.GetIconIndex(path, &normal, &open);
  }
  char events[4096];
  EXPECT_LT(read(watch, events, sizeof(events)), 0) << "a special file was opened";
  close(watch);

  // Deleting one, whatever the mode, takes its name away without opening it.
  EXPECT_TRUE(files_.Delete("C:\\FIFO", kDeleteWipe));
  EXPECT_FALSE(Exists(tree_ / "c/FIFO"));
}

TEST_P(EntryKindsTest, NothingIsWrittenThroughALinkOrAnotherNamesHardLink) {
  // A writer never goes through a link, not even to a file inside.
  EXPECT_EQ(files_.FileCreate("C:\\LINKFILE"), -1);
  EXPECT_EQ(files_.FileOpen("C:\\LINKFILE", 2), -1);
  EXPECT_EQ(ReadFile(tree_ / "c/FILE.TXT"), "plain file");
  const std::int32_t reader = files_.FileOpen("C:\\LINKFILE", 0);
  EXPECT_GE(reader, 0);
  files_.FileClose(reader);

  // A file that another name holds is not emptied under that name: the name
  // written to gets a file of its own.
  ASSERT_EQ(link((tree_ / "c/FILE.TXT").c_str(), (tree_ / "other").c_str()), 0);
  EXPECT_EQ(files_.FileOpen("C:\\FILE.TXT", 1), -1);
  const std::int32_t handle = files_.FileCreate("C:\\FILE.TXT");
  ASSERT_GE(handle, 0);
  EXPECT_EQ(files_.FileWrite(handle, "new", 3), 3);
  files_.FileClose(handle);
  EXPECT_EQ(ReadFile(tree_ / "c/FILE.TXT"), "new");
  EXPECT_EQ(ReadFile(tree_ / "other"), "plain file");

  // A wipe of such a file takes its name and leaves the other's bytes.
  ASSERT_EQ(link((tree_ / "c/FILE.TXT").c_str(), (tree_ / "c/SECOND").c_str()), 0);
  EXPECT_TRUE(files_.Delete("C:\\SECOND", kDeleteWipe));
  EXPECT_FALSE(Exists(tree_ / "c/SECOND"));
  EXPECT_EQ(ReadFile(tree_ / "c/FILE.TXT"), "new");

  // A wipe of a link takes the link and writes nothing.
  EXPECT_TRUE(files_.Delete("C:\\LINKFILE", kDeleteWipe));
  EXPECT_TRUE(files_.Delete("C:\\LINKDIR", kDeleteWipe));
  EXPECT_TRUE(files_.Delete("C:\\DANGLING", kDeleteNormal));
  EXPECT_EQ(ReadFile(tree_ / "c/FILE.TXT"), "new");
  EXPECT_TRUE(Exists(tree_ / "c/DIR"));
  EXPECT_FALSE(Exists(tree_ / "c/LINKFILE"));
  EXPECT_FALSE(Exists(tree_ / "c/LINKDIR"));
  EXPECT_FALSE(Exists(tree_ / "c/DANGLING"));
}

INSTANTIATE_TEST_SUITE_P(AllWalks, EntryKindsTest,
                         ::testing::Values(Flavour{"Program", false, PathWalk::kAuto},
                                           Flavour{"ModuleOpenat2", true, PathWalk::kAuto},
                                           Flavour{"ModuleByName", true, PathWalk::kByName}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace duplane
