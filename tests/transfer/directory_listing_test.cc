// Reading a directory into a pane record on either side, the remote one over
// a virtual cable against a Remote Module, without any window: the typed rows
// in their order, the "<parent>" and "<root>" rows, the filespec of one or
// several patterns with the count of the files it hides, the row
// limit, a read stopped by its progress callback, and no search slot left.
#include "transfer/directory_listing.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "support/file_tree.h"
#include "support/sides.h"
#include "support/transfer_rig.h"

namespace duplane {
namespace {

class DirectoryListingTest : public ::testing::TestWithParam<Side> {
 protected:
  // SUB\{D1\ D2\ a.txt b.dat c.TXT} and many.txt files at the root.
  void SetUp() override {
    MakeDir(N("SUB/D1"));
    MakeDir(N("SUB/D2"));
    WriteFile(N("SUB/a.txt"), "aaa");
    WriteFile(N("SUB/b.dat"), "bbbb");
    WriteFile(N("SUB/c.TXT"), std::string(5000, 'c'));
  }
  Side side() const { return GetParam(); }
  std::string N(const std::string& relative) const { return rig_.Native(side(), relative); }

  ListingEnd Read(const std::string& path, const ListingOptions& options = ListingOptions()) {
    const ListingEnd end = ReadListing(rig_.link(), rig_.slots, side(), path, options, &pane_);
    for (int slot = 1; slot <= SearchSlots::kCount; ++slot) {
      EXPECT_FALSE(rig_.slots.InUse(slot)) << "slot " << slot << " left taken";
    }
    return end;
  }
  std::set<std::string> Names(std::int32_t first, std::int32_t count) const {
    std::set<std::string> names;
    for (std::int32_t row = first; row < first + count; ++row) names.insert(pane_.Rows[row].name);
    return names;
  }
  const PaneRow* Named(const std::string& name) const {
    for (const PaneRow& row : pane_.Rows) {
      if (row.name == name) return &row;
    }
    return nullptr;
  }

  TransferRig rig_;
  TPane pane_;
};

TEST_P(DirectoryListingTest, SpecialRowsFirstThenDirectoriesThenFilesAllTyped) {
  ASSERT_EQ(Read("C:\\SUB"), ListingEnd::kComplete);
  ASSERT_EQ(pane_.SpecialCount, 2);
  ASSERT_EQ(pane_.DirCount, 2);
  ASSERT_EQ(pane_.FileCount, 3);
  ASSERT_EQ(pane_.Rows.size(), 7u);
  EXPECT_EQ(pane_.Rows[0].kind, RowKind::kParent);
  EXPECT_EQ(pane_.Rows[0].name, "..");
  EXPECT_NE(pane_.Rows[0].attributes & kAttrDirectory, 0u);
  EXPECT_EQ(pane_.Rows[1].kind, RowKind::kRoot);
  EXPECT_EQ(pane_.Rows[1].name, "\\");
  EXPECT_EQ(Names(pane_.FirstDirRow(), pane_.DirCount), (std::set<std::string>{"D1", "D2"}));
  EXPECT_EQ(Names(pane_.FirstFileRow(), pane_.FileCount),
            (std::set<std::string>{"a.txt", "b.dat", "c.TXT"}));

  const PaneRow* dir = Named("D1");
  EXPECT_EQ(dir->kind, RowKind::kDirectory);
  EXPECT_EQ(dir->size, 0u);
  EXPECT_NE(dir->modified, 0u);
  const PaneRow* file = Named("c.TXT");
  EXPECT_EQ(file->kind, RowKind::kFile);
  EXPECT_EQ(file->size, 5000u);
  EXPECT_EQ(file->attributes & kAttrDirectory, 0u);
  EXPECT_NE(file->modified, 0u);
  EXPECT_NE(file->accessed, 0u);
  EXPECT_NE(file->created, 0u);

  // A drive's root has no parent: no special rows.
  ASSERT_EQ(Read("C:\\"), ListingEnd::kComplete);
  EXPECT_EQ(pane_.SpecialCount, 0);
  EXPECT_EQ(Names(0, pane_.DirCount), (std::set<std::string>{"SUB"}));
  EXPECT_EQ(pane_.RowCount(), static_cast<std::int32_t>(pane_.Rows.size()));
}

TEST_P(DirectoryListingTest, TheFilespecChoosesFilesAndEveryDirectoryStays) {
  ListingOptions options;
  options.file_spec = "*.txt";  // without regard to case
  ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kComplete);
  EXPECT_EQ(pane_.DirCount, 2);
  EXPECT_EQ(Names(pane_.FirstFileRow(), pane_.FileCount),
            (std::set<std::string>{"a.txt", "c.TXT"}));

  // More than one name would list another directory's files as these.
  for (const char* filespec : {"..\\*", "C:*", "\\*.*"}) {
    options.file_spec = filespec;
    ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kComplete) << filespec;
    EXPECT_EQ(pane_.FileCount, 0) << filespec;
    EXPECT_EQ(pane_.DirCount, 2) << filespec;
  }
}

TEST_P(DirectoryListingTest, SeveralPatternsListWhatAnyMatchesAndTheHiddenFilesAreCounted) {
  WriteFile(N("SUB/d.log"), "dd");
  ListingOptions options;
  options.file_spec = "*.txt; *.LOG ;";
  ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kComplete);
  EXPECT_EQ(pane_.DirCount, 2);
  EXPECT_EQ(Names(pane_.FirstFileRow(), pane_.FileCount),
            (std::set<std::string>{"a.txt", "c.TXT", "d.log"}));
  EXPECT_EQ(pane_.HiddenFiles, 1);  // b.dat
  EXPECT_EQ(pane_.RowCount(), static_cast<std::int32_t>(pane_.Rows.size()));

  // One pattern is the side's own search; what it leaves out is hidden too.
  options.file_spec = "*.dat";
  ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kComplete);
  EXPECT_EQ(Names(pane_.FirstFileRow(), pane_.FileCount), (std::set<std::string>{"b.dat"}));
  EXPECT_EQ(pane_.HiddenFiles, 3);

  // A list holding every name hides nothing, nor does a directory whose
  // files all match.
  for (const char* filespec : {"*.*", "*.dat;*", "*.txt;*.log;*.dat"}) {
    options.file_spec = filespec;
    ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kComplete) << filespec;
    EXPECT_EQ(pane_.FileCount, 4) << filespec;
    EXPECT_EQ(pane_.HiddenFiles, 0) << filespec;
  }

  // A pattern that leaves the directory lists nothing and hides every file.
  options.file_spec = "..\\*.txt;*.log";
  ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kComplete);
  EXPECT_EQ(Names(pane_.FirstFileRow(), pane_.FileCount), (std::set<std::string>{"d.log"}));
  EXPECT_EQ(pane_.HiddenFiles, 3);

  // A read cut short says nothing about hidden files: the rest was not seen.
  options.file_spec = "*.log";
  options.progress = [](std::int32_t rows) { return rows < 3; };
  ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kStopped);
  EXPECT_EQ(pane_.HiddenFiles, 0);
}

TEST_P(DirectoryListingTest, TheRowLimitStopsTheReadAndKeepsWhatItHolds) {
  for (int i = 0; i < 30; ++i) WriteFile(N("SUB/f" + std::to_string(i)), "x");
  ListingOptions options;
  options.row_limit = 10;
  ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kLimitReached);
  EXPECT_EQ(pane_.Rows.size(), 10u);
  EXPECT_EQ(pane_.RowCount(), 10);
  EXPECT_EQ(pane_.SpecialCount, 2);
}

TEST_P(DirectoryListingTest, TheProgressSeesEveryRowAndStopsTheReadKeepingThePartRead) {
  for (int i = 0; i < 30; ++i) WriteFile(N("SUB/f" + std::to_string(i) + ".txt"), "x");
  std::vector<std::int32_t> counts;
  ListingOptions options;
  options.file_spec = "*.txt";
  options.progress = [&counts](std::int32_t rows) {
    counts.push_back(rows);
    return true;
  };
  ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kComplete);
  ASSERT_FALSE(counts.empty());
  EXPECT_EQ(counts.back(), pane_.RowCount());
  EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));

  // Stopped among the directories, the read does not go on to the files.
  counts.clear();
  options.progress = [&counts](std::int32_t rows) {
    counts.push_back(rows);
    return rows < 3;
  };
  ASSERT_EQ(Read("C:\\SUB", options), ListingEnd::kStopped);
  EXPECT_EQ(counts.back(), 3);
  EXPECT_EQ(pane_.RowCount(), 3);
  EXPECT_EQ(pane_.Rows.size(), 3u);
  EXPECT_EQ(pane_.FileCount, 0);
}

TEST_P(DirectoryListingTest, WithEverySlotTakenNothingIsRead) {
  pane_.Rows.push_back({"stale", RowKind::kFile, 1});
  pane_.FileCount = 1;
  for (int i = 0; i < SearchSlots::kCount; ++i) rig_.slots.Alloc();
  EXPECT_EQ(ReadListing(rig_.link(), rig_.slots, side(), "C:\\SUB", ListingOptions(), &pane_),
            ListingEnd::kNoSlot);
  EXPECT_TRUE(pane_.Rows.empty());
  EXPECT_EQ(pane_.RowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothSides, DirectoryListingTest, BothSides(), SideParamName);

}  // namespace
}  // namespace duplane
