// The selection a pane hands to the engines: which rows count, in what order,
// and the sizes as numbers, whatever else the rows hold.
#include <gtest/gtest.h>

#include <set>

#include "transfer/pane_access.h"

namespace duplane {
namespace {

// "<parent>" "<root>" | DOCS GAMES | A.TXT B.BIN
TPane ListedPane() {
  TPane pane;
  pane.SpecialCount = 2;
  pane.DirCount = 2;
  pane.FileCount = 2;
  pane.Rows = {{"..", RowKind::kParent},      {"\\", RowKind::kRoot},
               {"DOCS", RowKind::kDirectory}, {"GAMES", RowKind::kDirectory},
               {"A.TXT", RowKind::kFile, 12}, {"B.BIN", RowKind::kFile, 4294967296}};
  return pane;
}

PaneSelection Select(const TPane& pane, std::set<std::int32_t> rows) {
  return SelectionOf(pane, "*.TXT", [&rows](std::int32_t row) { return rows.count(row) > 0; });
}

TEST(PaneSelection, SelectedFilesAndDirectoriesComeTypedAndSpecialRowsNever) {
  const PaneSelection selection = Select(ListedPane(), {0, 1, 3, 4, 5});
  EXPECT_EQ(selection.file_spec, "*.TXT");
  ASSERT_EQ(selection.files.size(), 2u);
  EXPECT_EQ(selection.files[0].name, "A.TXT");
  EXPECT_EQ(selection.files[0].size, 12);
  EXPECT_EQ(selection.files[1].name, "B.BIN");
  EXPECT_EQ(selection.files[1].size, 4294967296LL);  // beyond 32 bits
  EXPECT_FALSE(selection.files[0].is_directory);
  ASSERT_EQ(selection.directories.size(), 1u);  // neither "<parent>" nor "<root>"
  EXPECT_EQ(selection.directories[0].name, "GAMES");
  EXPECT_TRUE(selection.directories[0].is_directory);

  EXPECT_TRUE(Select(ListedPane(), {}).files.empty());
  EXPECT_TRUE(Select(ListedPane(), {0, 1}).directories.empty());
}

TEST(PaneSelection, CountsBeyondTheListedRowsReadNothingPastThem) {
  TPane pane = ListedPane();
  pane.FileCount = 5;   // counts ahead of a list being refilled
  pane.Rows.resize(5);  // B.BIN not listed yet
  const PaneSelection selection = Select(pane, {4, 5, 6, 7, 8});
  ASSERT_EQ(selection.files.size(), 1u);
  EXPECT_EQ(selection.files[0].name, "A.TXT");
}

TEST(PaneSelection, ASizeNoFileCanHaveCountsAsNothing) {
  TPane pane = ListedPane();
  pane.Rows[5].size = std::uint64_t{1} << 63;
  const PaneSelection selection = Select(pane, {5});
  ASSERT_EQ(selection.files.size(), 1u);
  EXPECT_EQ(selection.files[0].size, 0);
}

}  // namespace
}  // namespace duplane
