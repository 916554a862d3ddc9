// Every Link operation on Side::kLocal, on real folders under /tmp:
// drives and current directories, searches, files and the running CRC, times,
// attributes, the delete modes, subdirectories and icons.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "link/link.h"
#include "localfs/crc32.h"
#include "localfs/file_times.h"
#include "localfs/local_file_system.h"
#include "localfs/name_pattern.h"
#include "support/temp_tree.h"

namespace duplane {
namespace {

class LocalBranchTest : public ::testing::Test {
 protected:
  LocalBranchTest()
      : files_({{'D', tree_ / "d"}, {'a', tree_ / "a"}, {'C', tree_ / "c"}}, false),
        link_(files_, nullptr) {}

  void SetUp() override { ASSERT_EQ(link_.LinkGetDrives(Side::kLocal), "ACD"); }

  std::string C(const std::string& relative) const { return tree_ / ("c/" + relative); }

  TempTree tree_;
  int made_ = MakeFolders();
  LocalFileSystem files_;
  Link link_;

 private:
  int MakeFolders() {
    for (const char* name : {"a", "c", "d", "c/sub", "c/sub/inner", "c/empty"}) {
      MakeDir(tree_ / name);
    }
    WriteFile(tree_ / "c/sub/a.txt", "alpha");
    WriteFile(tree_ / "c/sub/B.TXT", "bravo!");
    WriteFile(tree_ / "c/sub/.hidden", "h");
    WriteFile(tree_ / "c/sub/back\\slash", "x");
    WriteFile(tree_ / "c/sub/c:top.bin", "as a path: top.bin in C:'s current directory");
    WriteFile(tree_ / "c/top.bin", "");
    return 0;
  }
};

// Reads every entry of a search into "name:attributes" strings.
std::vector<std::string> Search(Link& link, const std::string& pattern, std::int32_t mask,
                                std::int32_t* first_result = nullptr) {
  std::vector<std::string> found;
  std::int32_t result = link.LinkFindFirst(Side::kLocal, 5, pattern, mask);
  if (first_result != nullptr) *first_result = result;
  while (result == 0) {
    found.push_back(link.SlotRecord(5).name);
    result = link.LinkFindNext(Side::kLocal, 5);
  }
  EXPECT_EQ(result == 0 || found.empty() || result == kErrorNoMoreFiles, true);
  link.LinkFindClose(Side::kLocal, 5);
  return found;
}

TEST_F(LocalBranchTest, DrivesHomeDriveAndDiskFigures) {
  // No drive holds the test executable: the first one is home.
  EXPECT_EQ(link_.LinkGetHomeDrive(Side::kLocal), 'A');
  char exe[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof(exe) - 1), 0);
  std::string exe_dir = exe;
  exe_dir.erase(exe_dir.rfind('/'));
  LocalFileSystem with_home({{'B', tree_.path()}, {'H', exe_dir}}, false);
  EXPECT_EQ(with_home.GetHomeDrive(), 'H');

  EXPECT_GT(link_.LinkDiskSize(Side::kLocal, 3), 0);
  EXPECT_GE(link_.LinkDiskFree(Side::kLocal, 3), 0);
  EXPECT_LE(link_.LinkDiskFree(Side::kLocal, 3), link_.LinkDiskSize(Side::kLocal, 3));
  EXPECT_EQ(link_.LinkDiskSize(Side::kLocal, 26), -1);  // Z: is not in the table
  EXPECT_EQ(link_.LinkDiskFree(Side::kLocal, 2), -1);   // nor B:
  EXPECT_EQ(LocalFileSystem::DefaultDrives().front().directory, "/");
}

TEST_F(LocalBranchTest, CurrentDirectoryPerDriveWithWindowsRules) {
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\sub"), 0);
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 3), "C:\\sub");
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "inner"), 0);  // relative to C:\sub
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 0), "C:\\sub\\inner");
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "D:\\"), 0);
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 0), "D:\\");
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 3), "C:\\sub\\inner");  // C: keeps its own
  // "C:name" is relative to C:'s current directory, "\name" to the current drive's root.
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:.."), 0);
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 0), "C:\\sub");
  EXPECT_TRUE(link_.LinkFileExists(Side::kLocal, "C:a.txt"));
  EXPECT_TRUE(link_.LinkFileExists(Side::kLocal, "\\top.bin"));
  EXPECT_TRUE(link_.LinkFileExists(Side::kLocal, "../top.bin"));  // forward slashes separate too
  // ".." at a root stays there.
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\..\\..\\..\\sub\\..\\.."), 0);
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 0), "C:\\");

  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\missing"), kErrorFileNotFound);
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\missing\\deeper"), kErrorPathNotFound);
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\top.bin"), kErrorPathNotFound);
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "Q:\\"), kErrorPathNotFound);
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 0), "C:\\");  // failures change nothing
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 17), "");     // Q: does not exist
}

TEST_F(LocalBranchTest, SearchOrderPatternsAndMasks) {
  // "." and ".." first below a root; a backslash or a colon in a name travels
  // as its private-use twin, so it names that entry alone.
  std::vector<std::string> all = Search(link_, "C:\\sub\\*.*", kMaskFilesAndDirs);
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all[0], ".");
  EXPECT_EQ(all[1], "..");
  std::sort(all.begin() + 2, all.end());
  EXPECT_EQ(std::vector<std::string>(all.begin() + 2, all.end()),
            (std::vector<std::string>{".hidden", "B.TXT", "a.txt", "back\xEF\x81\x9Cslash",
                                      "c\xEF\x80\xBAtop.bin", "inner"}));

  // At a drive's root there is no "." or "..".
  std::vector<std::string> root = Search(link_, "C:\\*", kMaskFilesAndDirs);
  EXPECT_EQ(std::count(root.begin(), root.end(), "."), 0);
  EXPECT_EQ(root.size(), 3u);

  // Wildcards without regard to case; files only; hidden skipped without 0x02.
  std::vector<std::string> text = Search(link_, "C:\\sub\\*.TxT", kMaskFilesOnly);
  std::sort(text.begin(), text.end());
  EXPECT_EQ(text, (std::vector<std::string>{"B.TXT", "a.txt"}));
  EXPECT_EQ(Search(link_, "C:\\sub\\?.txt", kMaskFilesOnly).size(), 2u);
  std::vector<std::string> unhidden = Search(link_, "C:\\sub\\*", kAttrDirectory);
  EXPECT_EQ(std::count(unhidden.begin(), unhidden.end(), ".hidden"), 0);
  EXPECT_EQ(unhidden.size(), 7u);

  std::int32_t result = 0;
  EXPECT_TRUE(Search(link_, "C:\\sub\\*.none", kMaskFilesAndDirs, &result).empty());
  EXPECT_EQ(result, kErrorFileNotFound);
  // Matches exist but every one is filtered out: 18, not 2.
  EXPECT_TRUE(Search(link_, "C:\\empty\\*.*", kMaskFilesOnly, &result).empty());
  EXPECT_EQ(result, kErrorNoMoreFiles);
  EXPECT_TRUE(Search(link_, "C:\\nowhere\\*.*", kMaskFilesAndDirs, &result).empty());
  EXPECT_EQ(result, kErrorPathNotFound);

  // Slots outside 1..20 name nothing.
  EXPECT_EQ(link_.LinkFindFirst(Side::kLocal, 0, "C:\\*.*", kMaskEverything), kErrorInvalidHandle);
  EXPECT_EQ(link_.LinkFindFirst(Side::kLocal, 21, "C:\\*.*", kMaskEverything), kErrorInvalidHandle);
  EXPECT_EQ(link_.LinkFindNext(Side::kLocal, 7), kErrorInvalidHandle);  // never opened
  link_.LinkFindClose(Side::kLocal, 7);
  link_.LinkFindClose(Side::kLocal, 7);
}

TEST_F(LocalBranchTest, FindRecordCarriesSizeAttributesAndTimes) {
  struct timespec times[2] = {{1000000000, 500}, {1200000000, 700}};
  ASSERT_EQ(utimensat(AT_FDCWD, C("sub/B.TXT").c_str(), times, 0), 0);
  ASSERT_EQ(link_.LinkFindFirst(Side::kLocal, 1, "C:\\sub\\b.txt", kMaskFilesOnly), 0);
  const FindRecord& record = link_.SlotRecord(1);
  EXPECT_EQ(record.name, "B.TXT");
  EXPECT_EQ(record.size, 6u);
  EXPECT_EQ(record.attributes, static_cast<std::uint32_t>(kAttrArchive));
  EXPECT_EQ(record.last_access_time, 1000000000ull * 10000000 + 5 + kFileTimeUnixEpoch);
  EXPECT_EQ(record.last_write_time, 1200000000ull * 10000000 + 7 + kFileTimeUnixEpoch);
  // Made by this test: created this decade, not at the epoch that some file
  // systems report when they keep no birth time.
  EXPECT_GT(record.creation_time, 1577836800ull * 10000000 + kFileTimeUnixEpoch);
  EXPECT_EQ(link_.LinkFindNext(Side::kLocal, 1), kErrorNoMoreFiles);
  link_.LinkFindClose(Side::kLocal, 1);

  ASSERT_EQ(link_.LinkFindFirst(Side::kLocal, 2, "C:\\sub\\*", kMaskEverything), 0);
  EXPECT_EQ(link_.SlotRecord(2).attributes, static_cast<std::uint32_t>(kAttrDirectory));
  EXPECT_EQ(link_.SlotRecord(2).size, 0u);
  link_.LinkFindClose(Side::kLocal, 2);

  // The longest name Linux allows travels whole; longer ones are cut to 255.
  const std::string long_name(255, 'n');
  WriteFile(C("sub/inner/" + long_name), "");
  ASSERT_EQ(link_.LinkFindFirst(Side::kLocal, 3, "C:\\sub\\inner\\n*", kMaskFilesOnly), 0);
  EXPECT_EQ(link_.SlotRecord(3).name, long_name);
  FindRecord too_long;
  too_long.name = std::string(300, 'x');
  EXPECT_EQ(DecodeFindRecord(EncodeFindRecord(too_long)).name, std::string(255, 'x'));
}

TEST_F(LocalBranchTest, FilesHandlesAndTheRunningCrc) {
  const std::int32_t handle = link_.LinkFileCreate(Side::kLocal, "C:\\digits.txt");
  ASSERT_GE(handle, kFirstHandle);
  EXPECT_EQ(link_.LinkGetCRC(Side::kLocal), 0xFFFFFFFFu);
  EXPECT_EQ(link_.LinkFileWrite(Side::kLocal, handle, "", 0), 0);  // no data, CRC unchanged
  EXPECT_EQ(link_.LinkGetCRC(Side::kLocal), 0xFFFFFFFFu);
  EXPECT_EQ(link_.LinkFileWrite(Side::kLocal, handle, "123456789", 9), 9);
  EXPECT_EQ(link_.LinkGetCRC(Side::kLocal), 0x340BC6D9u);
  EXPECT_EQ(link_.LinkFileSeek(Side::kLocal, handle, -4, 2), 5);
  EXPECT_EQ(link_.LinkFileSeek(Side::kLocal, handle, 1, 1), 6);
  EXPECT_EQ(link_.LinkFileSeek(Side::kLocal, handle, 0, 3), -1);
  link_.LinkFileClose(Side::kLocal, handle);
  EXPECT_EQ(ReadFile(C("digits.txt")), "123456789");

  const std::int32_t reader = link_.LinkFileOpen(Side::kLocal, "C:\\digits.txt", 0x40);
  ASSERT_GE(reader, kFirstHandle);
  char buffer[16] = {};
  EXPECT_EQ(link_.LinkFileRead(Side::kLocal, reader, buffer, 3), 3);
  EXPECT_EQ(link_.LinkGetCRC(Side::kLocal), UpdateCrc(kCrcStart, 3, "123"));
  EXPECT_EQ(link_.LinkFileRead(Side::kLocal, reader, buffer + 3, 16), 6);
  EXPECT_EQ(link_.LinkGetCRC(Side::kLocal), 0x340BC6D9u);
  EXPECT_EQ(link_.LinkFileRead(Side::kLocal, reader, buffer, 16), 0);  // end of file
  EXPECT_EQ(link_.LinkGetCRC(Side::kLocal), 0x340BC6D9u);
  EXPECT_EQ(link_.LinkFileWrite(Side::kLocal, reader, "x", 1), -1);  // opened for reading
  link_.LinkFileClose(Side::kLocal, reader);
  EXPECT_EQ(link_.LinkFileRead(Side::kLocal, reader, buffer, 1), -1);  // closed

  // Handles this object never gave out touch nothing, standard streams included.
  for (std::int32_t stranger : {0, 1, 2, 3, -1, kFirstHandle + 63, 0x7FFFFFFF}) {
    EXPECT_EQ(link_.LinkFileWrite(Side::kLocal, stranger, "oops", 4), -1);
    EXPECT_EQ(link_.LinkFileRead(Side::kLocal, stranger, buffer, 4), -1);
    EXPECT_EQ(link_.LinkFileSeek(Side::kLocal, stranger, 0, 0), -1);
    link_.LinkFileClose(Side::kLocal, stranger);
  }

  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\missing.txt", 0), -1);  // must exist
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\sub", 0), -1);          // not a file
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\digits.txt", 3), -1);   // no such access
  const std::int32_t both = link_.LinkFileOpen(Side::kLocal, "C:\\digits.txt", 2);
  EXPECT_EQ(link_.LinkFileWrite(Side::kLocal, both, "ab", 2), 2);
  link_.LinkFileClose(Side::kLocal, both);
  EXPECT_EQ(ReadFile(C("digits.txt")), "ab3456789");
}

TEST_F(LocalBranchTest, ReadOnlyFilesRefuseWritersAndCreate) {
  ASSERT_TRUE(link_.LinkFileSetAttr(Side::kLocal, "C:\\sub\\a.txt", kAttrReadOnly | kAttrArchive));
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\sub\\a.txt", 1), -1);
  EXPECT_EQ(link_.LinkFileCreate(Side::kLocal, "C:\\sub\\a.txt"), -1);
  EXPECT_EQ(ReadFile(C("sub/a.txt")), "alpha");  // not emptied
  const std::int32_t reader = link_.LinkFileOpen(Side::kLocal, "C:\\sub\\a.txt", 0);
  EXPECT_GE(reader, kFirstHandle);
  link_.LinkFileClose(Side::kLocal, reader);
}

TEST_F(LocalBranchTest, AttributesMapOntoModeNameAndXattr) {
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\sub\\a.txt"), kAttrArchive);
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\sub\\.hidden"), kAttrArchive | kAttrHidden);
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\sub"), kAttrDirectory);
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\"), kAttrDirectory);
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\nothing"), -1);

  ASSERT_EQ(chmod(C("sub/a.txt").c_str(), 0666), 0);
  ASSERT_TRUE(link_.LinkFileSetAttr(Side::kLocal, "C:\\sub\\a.txt", kAttrReadOnly));
  struct stat info;
  ASSERT_EQ(stat(C("sub/a.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0444u);                                    // every write bit goes
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\sub\\a.txt"), kAttrReadOnly);  // archive cleared
  ASSERT_TRUE(link_.LinkFileSetAttr(Side::kLocal, "C:\\sub\\a.txt", kAttrArchive));
  ASSERT_EQ(stat(C("sub/a.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);  // the owner's comes back
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\sub\\a.txt"), kAttrArchive);
  char value;
  EXPECT_LT(getxattr(C("sub/a.txt").c_str(), "user.duplane.attrib", &value, 1), 0)
      << "an ordinary file keeps no attribute of ours";

  ASSERT_TRUE(link_.LinkFileSetAttr(Side::kLocal, "C:\\sub\\B.TXT", kAttrHidden | kAttrSystem));
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\sub\\B.TXT"), kAttrHidden | kAttrSystem);
  ASSERT_TRUE(link_.LinkFileSetAttr(Side::kLocal, "C:\\sub\\inner", kAttrDirectory | kAttrSystem));
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\sub\\inner"), kAttrDirectory | kAttrSystem);
  // The system file now drops out of a search without 0x04 in the mask.
  std::vector<std::string> names = Search(link_, "C:\\sub\\*", kAttrHidden | kAttrDirectory);
  EXPECT_EQ(std::count(names.begin(), names.end(), "B.TXT"), 0);
  EXPECT_FALSE(link_.LinkFileSetAttr(Side::kLocal, "C:\\nothing", 0));
}

TEST_F(LocalBranchTest, TimesOfAnOpenFileAndDosDateTime) {
  const std::int32_t handle = link_.LinkFileOpen(Side::kLocal, "C:\\sub\\a.txt", 2);
  ASSERT_GE(handle, kFirstHandle);
  FileTime creation = 1, access = 2, write = 3;
  ASSERT_TRUE(link_.LinkGetFileTime(Side::kLocal, handle, &creation, &access, &write));
  const FileTime old_creation = creation;
  const FileTime new_access = kFileTimeUnixEpoch + 1300000000ull * 10000000 + 1230;
  const FileTime new_write = kFileTimeUnixEpoch + 1400000000ull * 10000000 + 4560;
  ASSERT_TRUE(link_.LinkSetFileTime(Side::kLocal, handle, 42, new_access, new_write));
  ASSERT_TRUE(link_.LinkGetFileTime(Side::kLocal, handle, &creation, &access, &write));
  EXPECT_EQ(access, new_access);
  EXPECT_EQ(write, new_write);
  EXPECT_EQ(creation, old_creation);  // cannot be set on Linux
  link_.LinkFileClose(Side::kLocal, handle);

  FileTime untouched[3] = {7, 8, 9};
  EXPECT_FALSE(link_.LinkGetFileTime(Side::kLocal, 1, &untouched[0], &untouched[1], &untouched[2]));
  EXPECT_EQ(untouched[0] + untouched[1] + untouched[2], 24u);
  EXPECT_FALSE(link_.LinkSetFileTime(Side::kLocal, 2, 0, new_access, new_write));

  EXPECT_EQ(link_.LinkFileAge(Side::kLocal, "C:\\sub\\a.txt"), DosDateTime(1400000000));
  setenv("TZ", "UTC", 1);
  tzset();
  // 2014-05-13 16:53:20 UTC.
  EXPECT_EQ(DosDateTime(1400000000),
            (34 << 25) | (5 << 21) | (13 << 16) | (16 << 11) | (53 << 5) | (20 / 2));
  EXPECT_EQ(DosDateTime(0), -1);  // 1970 cannot be packed
  EXPECT_EQ(link_.LinkFileAge(Side::kLocal, "C:\\sub"), -1);
  EXPECT_EQ(link_.LinkFileAge(Side::kLocal, "C:\\nothing"), -1);
}

TEST_F(LocalBranchTest, DirectoriesExistenceAndRename) {
  EXPECT_TRUE(link_.LinkCreateDir(Side::kLocal, "C:\\new"));
  EXPECT_FALSE(link_.LinkCreateDir(Side::kLocal, "C:\\new"));
  EXPECT_FALSE(link_.LinkCreateDir(Side::kLocal, "C:\\no\\such"));  // one level only
  EXPECT_TRUE(link_.LinkDirectoryExists(Side::kLocal, "C:\\new\\"));
  EXPECT_FALSE(link_.LinkFileExists(Side::kLocal, "C:\\new"));
  EXPECT_TRUE(link_.LinkFileExists(Side::kLocal, "C:\\sub\\a.txt"));
  EXPECT_FALSE(link_.LinkDirectoryExists(Side::kLocal, "C:\\sub\\a.txt"));
  EXPECT_FALSE(link_.LinkRemoveDir(Side::kLocal, "C:\\sub"));  // not empty
  EXPECT_TRUE(link_.LinkRemoveDir(Side::kLocal, "C:\\new"));
  EXPECT_FALSE(Exists(C("new")));

  EXPECT_FALSE(link_.LinkRenameFile(Side::kLocal, "C:\\sub\\a.txt", "C:\\sub\\B.TXT"));  // exists
  EXPECT_EQ(ReadFile(C("sub/B.TXT")), "bravo!");
  EXPECT_TRUE(link_.LinkRenameFile(Side::kLocal, "C:\\sub\\a.txt", "C:\\moved.txt"));
  EXPECT_EQ(ReadFile(C("moved.txt")), "alpha");
  EXPECT_TRUE(link_.LinkRenameFile(Side::kLocal, "C:\\sub", "C:\\renamed"));
  EXPECT_TRUE(link_.LinkDirectoryExists(Side::kLocal, "C:\\renamed\\inner"));
  EXPECT_FALSE(link_.LinkRenameFile(Side::kLocal, "C:\\", "C:\\root"));
}

TEST_F(LocalBranchTest, SubDirectoriesAndTheFinalBackslash) {
  EXPECT_TRUE(link_.LinkHasSubDirs(Side::kLocal, "C:\\sub"));
  EXPECT_TRUE(link_.LinkHasSubDirs(Side::kLocal, "C:\\sub\\"));
  EXPECT_TRUE(link_.LinkHasSubDirs(Side::kLocal, "C:"));  // C:'s current directory, the root
  std::vector<std::string> names = {"stale"};
  EXPECT_EQ(link_.LinkListSubDirs(Side::kLocal, "C:\\", &names), 2);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"empty", "sub"}));

  // A directory holding only "." and "..".
  EXPECT_FALSE(link_.LinkHasSubDirs(Side::kLocal, "C:\\empty"));
  EXPECT_EQ(link_.LinkListSubDirs(Side::kLocal, "C:\\empty", &names), 0);
  EXPECT_TRUE(names.empty());
  // Hidden and system directories count too (mask 0x3F).
  MakeDir(C("empty/.git"));
  EXPECT_TRUE(link_.LinkHasSubDirs(Side::kLocal, "C:\\empty\\"));

  names = {"stale"};
  EXPECT_FALSE(link_.LinkHasSubDirs(Side::kLocal, ""));
  EXPECT_EQ(link_.LinkListSubDirs(Side::kLocal, "", &names), 0);
  EXPECT_TRUE(names.empty());
}

TEST_F(LocalBranchTest, IconIndexesAndTheBitmapStrip) {
  std::int32_t normal = -1, open = -1;
  link_.LinkGetIconIndex(Side::kLocal, "C:\\sub\\a.txt", &normal, &open);
  EXPECT_EQ(normal, 0);
  EXPECT_EQ(open, 0);
  link_.LinkGetIconIndex(Side::kLocal, "C:\\sub", &normal, &open);
  EXPECT_EQ(normal, 1);
  EXPECT_EQ(open, 2);
  link_.LinkGetIconIndex(Side::kLocal, "D:\\", &normal, &open);
  EXPECT_EQ(normal, 3);
  EXPECT_EQ(open, 3);

  std::vector<std::uint8_t> bmp;
  ASSERT_TRUE(link_.LinkGetSysImageList(Side::kLocal, &bmp));
  auto u32 = [&](std::size_t at) {
    return bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | std::uint32_t(bmp[at + 3]) << 24;
  };
  ASSERT_EQ(bmp.size(), 14u + 40u + 64u * 16u * 3u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(u32(2), bmp.size());
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(18), 64u);  // four icons of 16 side by side
  EXPECT_EQ(u32(22), 16u);
  EXPECT_EQ(bmp[28], 24);
  // Each icon has white around it and something drawn inside.
  for (int icon = 0; icon < 4; ++icon) {
    int white = 0, ink = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const std::size_t at = 54 + (y * 64 + icon * 16 + x) * 3;
        (bmp[at] == 255 && bmp[at + 1] == 255 && bmp[at + 2] == 255 ? white : ink)++;
      }
    }
    EXPECT_GT(white, 20) << icon;
    EXPECT_GT(ink, 40) << icon;
  }
}

TEST_F(LocalBranchTest, CloseAllEndsEveryHandleAndSearch) {
  const std::int32_t handle = link_.LinkFileOpen(Side::kLocal, "C:\\sub\\a.txt", 0);
  ASSERT_EQ(link_.LinkFindFirst(Side::kLocal, 20, "C:\\sub\\*.*", kMaskEverything), 0);
  files_.CloseAll();
  char byte;
  EXPECT_EQ(link_.LinkFileRead(Side::kLocal, handle, &byte, 1), -1);
  EXPECT_EQ(link_.LinkFindNext(Side::kLocal, 20), kErrorInvalidHandle);
}

// A file made by LinkFileCreate is finished only when it is closed (flushed to
// the disk first). One still open when everything is closed, as when a
// connection ends mid-copy, is half written and goes; what merely took its name
// meanwhile, and files that were only opened, stay.
TEST_F(LocalBranchTest, CreatedFilesLeftOpenAreRemovedWhenEverythingIsClosed) {
  const std::int32_t done = link_.LinkFileCreate(Side::kLocal, "C:\\done.bin");
  ASSERT_GE(done, 0);
  ASSERT_EQ(link_.LinkFileWrite(Side::kLocal, done, "whole", 5), 5);
  EXPECT_TRUE(link_.LinkFileClose(Side::kLocal, done));
  EXPECT_FALSE(link_.LinkFileClose(Side::kLocal, done));  // closed already

  const std::int32_t half = link_.LinkFileCreate(Side::kLocal, "C:\\half.bin");
  ASSERT_EQ(link_.LinkFileWrite(Side::kLocal, half, "hal", 3), 3);
  const std::int32_t swapped = link_.LinkFileCreate(Side::kLocal, "C:\\swapped.bin");
  ASSERT_GE(swapped, 0);
  WriteFile(C("other.bin"), "someone else's");
  ASSERT_EQ(rename(C("other.bin").c_str(), C("swapped.bin").c_str()), 0);
  const std::int32_t reader = link_.LinkFileOpen(Side::kLocal, "C:\\sub\\a.txt", 0);
  ASSERT_GE(reader, 0);

  files_.CloseAll();
  EXPECT_EQ(ReadFile(C("done.bin")), "whole");
  EXPECT_FALSE(Exists(C("half.bin")));
  EXPECT_EQ(ReadFile(C("swapped.bin")), "someone else's");
  EXPECT_EQ(ReadFile(C("sub/a.txt")), "alpha");
}

TEST(NamePatternTest, WildcardsWithoutRegardToCase) {
  EXPECT_TRUE(MatchesPattern("*.*", "noext"));
  EXPECT_TRUE(MatchesPattern("A*B?.T*", "aXXbc.txt"));
  EXPECT_FALSE(MatchesPattern("a*b?.t*", "axxb.txt"));
  EXPECT_TRUE(MatchesPattern("*a*a*a*", "banana"));
  EXPECT_FALSE(MatchesPattern("*a*a*a*a*", "banana"));
  // A hostile pattern from the cable ends quickly either way.
  EXPECT_TRUE(MatchesPattern(std::string(30000, '*') + "a", "banana"));
  EXPECT_FALSE(MatchesPattern(std::string(30000, '?'), "banana"));
}

TEST(DriveOptionTest, ParsesLetterAndExistingDirectory) {
  TempTree tree;
  DriveMapping mapping;
  std::string error;
  ASSERT_TRUE(ParseDriveOption("e=" + tree.path() + "/.", &mapping, &error)) << error;
  EXPECT_EQ(mapping.letter, 'E');
  EXPECT_EQ(mapping.directory, tree.path());
  EXPECT_FALSE(ParseDriveOption("E:" + tree.path(), &mapping, &error));
  EXPECT_FALSE(ParseDriveOption("1=" + tree.path(), &mapping, &error));
  EXPECT_FALSE(ParseDriveOption("E=" + tree.path() + "/missing", &mapping, &error));
  EXPECT_NE(error.find("missing"), std::string::npos);
}

}  // namespace
}  // namespace duplane
