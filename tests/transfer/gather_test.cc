// Gathering a selection into the transfer queue on either side, the remote one
// over a virtual cable against a Remote Module: order, counts, hidden and
// read-only files, the filespec at every depth, special rows, a walk deeper
// than the twenty search slots, and the busy window's Cancel.
#include "transfer/gather.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/sides.h"
#include "support/transfer_rig.h"

namespace duplane {
namespace {

class GatherTest : public ::testing::TestWithParam<Side> {
 protected:
  Side side() const { return GetParam(); }
  std::string side_name() const { return SideName(side()); }
  std::string N(const std::string& relative) const { return rig_.Native(side(), relative); }

  // A.TXT B.DAT SUB\{X.TXT .HIDDEN RO.TXT SYS.DAT DEEP\Y.TXT EMPTY\} OTHER\Z.DAT
  void MakeTree() {
    WriteFile(N("A.TXT"), "aaa");
    WriteFile(N("B.DAT"), "bbbb");
    WriteFile(N("SUB/X.TXT"), std::string(10, 'x'));
    WriteFile(N("SUB/.HIDDEN"), std::string(5, 'h'));
    WriteFile(N("SUB/RO.TXT"), std::string(7, 'r'));
    MakeReadOnly(N("SUB/RO.TXT"));
    WriteFile(N("SUB/SYS.DAT"), std::string(9, 's'));
    ASSERT_TRUE(rig_.link().LinkFileSetAttr(side(), "C:\\SUB\\SYS.DAT", 0x04 | 0x20));
    WriteFile(N("SUB/DEEP/Y.TXT"), std::string(11, 'y'));
    MakeDir(N("SUB/EMPTY"));
    WriteFile(N("OTHER/Z.DAT"), std::string(12, 'z'));
  }

  bool Gather() { return GatherSelection(rig_.ctx(), side()); }

  TransferRig rig_;
};

std::string Slashed(std::string path) {
  for (char& c : path) c = c == '\\' ? '/' : c;
  return path;
}

// Entries below directory `dir` (a queue path ending in "\") follow it
// contiguously, and within one directory the files come before the
// subdirectories.
void ExpectTreeOrder(const TransferQueue& queue) {
  for (std::size_t i = 0; i < queue.size(); ++i) {
    if (!queue.is_dir(i)) continue;
    const std::string& dir = queue.path(i);
    std::size_t end = i + 1;
    while (end < queue.size() && queue.path(end).rfind(dir, 0) == 0) ++end;
    for (std::size_t j = end; j < queue.size(); ++j) {
      EXPECT_NE(queue.path(j).rfind(dir, 0), 0u) << queue.path(j) << " is cut off from " << dir;
    }
    bool seen_subdir = false;
    for (std::size_t j = i + 1; j < end; ++j) {
      const std::string rest = queue.path(j).substr(dir.size());
      const bool direct_file = rest.find('\\') == std::string::npos;
      const bool direct_dir = !direct_file && rest.find('\\') == rest.size() - 1;
      if (direct_dir) seen_subdir = true;
      if (direct_file) {
        EXPECT_FALSE(seen_subdir) << queue.path(j) << " after a subdirectory";
      }
    }
  }
}

TEST_P(GatherTest, NestedTreeInOrderWithHiddenSystemAndReadOnlyFiles) {
  MakeTree();
  rig_.Show(side());
  rig_.Select(side(), {"A.TXT", "SUB", "OTHER"});
  ASSERT_TRUE(Gather());
  rig_.ui.VerifyAllAsked();

  const TransferQueue& q = rig_.queue;
  std::set<std::string> paths(q.paths().begin(), q.paths().end());
  EXPECT_EQ(paths,
            (std::set<std::string>{"A.TXT", "SUB\\", "SUB\\X.TXT", "SUB\\.HIDDEN", "SUB\\RO.TXT",
                                   "SUB\\SYS.DAT", "SUB\\DEEP\\", "SUB\\DEEP\\Y.TXT",
                                   "SUB\\EMPTY\\", "OTHER\\", "OTHER\\Z.DAT"}));
  EXPECT_EQ(q.size(), paths.size());
  EXPECT_EQ(q.path(0), "A.TXT");  // selected files before selected directories
  ExpectTreeOrder(q);
  EXPECT_EQ(q.file_count, 7);
  EXPECT_EQ(q.dir_count, 4);
  EXPECT_EQ(q.byte_count, 3 + 10 + 5 + 7 + 9 + 11 + 12);
  for (std::size_t i = 0; i < q.size(); ++i) {
    const auto size = q.is_dir(i) ? 0 : ReadFile(N(Slashed(q.path(i)))).size();
    EXPECT_EQ(q.size_value(i), static_cast<std::int64_t>(size)) << q.path(i);
  }
  // The busy window, the main window, the pumping, the slots.
  EXPECT_EQ(rig_.ui.message_captions, std::vector<std::string>{"Message"});
  EXPECT_EQ(rig_.ui.message_texts, std::vector<std::string>{"Gathering file information..."});
  EXPECT_FALSE(rig_.ui.message_form_open);
  EXPECT_TRUE(rig_.ui.main_enabled);
  EXPECT_GE(rig_.ui.pumps, 10);  // one per directory and per file the walk found
  for (int slot = 1; slot <= SearchSlots::kCount; ++slot) EXPECT_FALSE(rig_.slots.InUse(slot));
}

// Several patterns take the files of any of them, as the list shows them.
TEST_P(GatherTest, FilespecFiltersFilesAtEveryDepthButKeepsEveryDirectory) {
  MakeTree();
  const struct {
    const char* filespec;
    std::vector<std::string> selected;
    std::set<std::string> queued;
  } cases[] = {
      {"*.txt",
       {"A.TXT", "SUB"},
       {"A.TXT", "SUB\\", "SUB\\X.TXT", "SUB\\RO.TXT", "SUB\\DEEP\\", "SUB\\DEEP\\Y.TXT",
        "SUB\\EMPTY\\"}},
      {"*.dat; y.*",
       {"B.DAT", "SUB"},
       {"B.DAT", "SUB\\", "SUB\\SYS.DAT", "SUB\\DEEP\\", "SUB\\DEEP\\Y.TXT", "SUB\\EMPTY\\"}},
  };
  for (const auto& c : cases) {
    rig_.ui.filespec(side()) = c.filespec;
    rig_.Show(side());
    rig_.Select(side(), c.selected);
    ASSERT_TRUE(Gather()) << c.filespec;
    const std::set<std::string> paths(rig_.queue.paths().begin(), rig_.queue.paths().end());
    EXPECT_EQ(paths, c.queued) << c.filespec;
  }
}

TEST_P(GatherTest, FilespecOfMoreThanOneNameQueuesNoFiles) {
  MakeTree();
  rig_.ui.filespec(side()) = "..\\*";
  rig_.Show(side());
  rig_.Select(side(), {"SUB"});
  ASSERT_TRUE(Gather());
  ASSERT_FALSE(rig_.queue.paths().empty());
  // Every directory still comes, but no file of another directory under its name.
  for (const std::string& path : rig_.queue.paths()) EXPECT_EQ(path.back(), '\\') << path;
}

TEST_P(GatherTest, SpecialRowsAloneQueueNothing) {
  MakeTree();
  rig_.Show(side(), "C:\\SUB");
  ASSERT_EQ(rig_.ui.pane(side()).SpecialCount, 2);
  rig_.ui.selection(side()) = {0, 1};
  rig_.ui.ExpectError("No files selected on " + side_name());
  EXPECT_FALSE(Gather());
  rig_.ui.VerifyAllAsked();
  EXPECT_TRUE(rig_.ui.main_enabled);
}

// However the rows came to be (a Remote Module that listed ".." late, or one
// that sent names no directory holds), a row that names no entry of its own is
// never queued: "..", "\" or "." would take the walk out of the directory.
TEST_P(GatherTest, RowsThatNameNoEntryOfTheirOwnAreNeverQueued) {
  MakeTree();
  rig_.Show(side(), "C:\\SUB");
  TPane& pane = rig_.ui.pane(side());
  pane.Rows = {{"..", RowKind::kDirectory},   {"\\", RowKind::kDirectory},
               {"DEEP", RowKind::kDirectory}, {".", RowKind::kDirectory},
               {"..", RowKind::kFile, 3},     {"X.TXT", RowKind::kFile, 10}};
  pane.SpecialCount = 0;
  pane.DirCount = 4;
  pane.FileCount = 2;
  rig_.ui.selection(side()) = {0, 1, 2, 3, 4, 5};
  ASSERT_TRUE(Gather());
  EXPECT_EQ(rig_.queue.paths(), (std::vector<std::string>{"X.TXT", "DEEP\\", "DEEP\\Y.TXT"}));
  EXPECT_EQ(rig_.queue.file_count, 2);
  EXPECT_EQ(rig_.queue.dir_count, 1);
  EXPECT_EQ(rig_.queue.byte_count, 21);
}

TEST_P(GatherTest, EmptyDirectoryIsOneEntry) {
  MakeTree();
  rig_.Show(side(), "C:\\SUB");
  rig_.Select(side(), {"EMPTY"});
  ASSERT_TRUE(Gather());
  EXPECT_EQ(rig_.queue.paths(), std::vector<std::string>{"EMPTY\\"});
  EXPECT_EQ(rig_.queue.file_count, 0);
  EXPECT_EQ(rig_.queue.byte_count, 0);
  EXPECT_EQ(rig_.queue.dir_count, 1);
}

TEST_P(GatherTest, TwentyOneLevelsRunOutOfSlotsAndTheWalkGoesOn) {
  std::string dir;
  for (int level = 1; level <= 22; ++level) {
    dir += "L" + std::to_string(level) + "/";
    WriteFile(N(dir + "F.TXT"), "f");
  }
  WriteFile(N("SIB/S.TXT"), "ss");
  rig_.Show(side());
  rig_.Select(side(), {"L1", "SIB"});
  rig_.ui.ExpectError("Error allocating FBlock");
  ASSERT_TRUE(Gather());
  rig_.ui.VerifyAllAsked();
  // Levels 1 to 20 with their files; level 21 queued without its contents;
  // the sibling after the deep chain still gathered.
  EXPECT_EQ(rig_.queue.dir_count, 22);
  EXPECT_EQ(rig_.queue.file_count, 21);
  EXPECT_EQ(rig_.queue.path(rig_.queue.size() - 1), "SIB\\S.TXT");
  std::string level21;
  for (int level = 1; level <= 21; ++level) level21 += "L" + std::to_string(level) + "\\";
  const auto& paths = rig_.queue.paths();
  EXPECT_NE(std::find(paths.begin(), paths.end(), level21), paths.end());
  EXPECT_EQ(std::find(paths.begin(), paths.end(), level21 + "F.TXT"), paths.end());
  for (int slot = 1; slot <= SearchSlots::kCount; ++slot) EXPECT_FALSE(rig_.slots.InUse(slot));
}

TEST_P(GatherTest, CancelEndsSilentlyAndGivesTheSlotsBack) {
  MakeTree();
  rig_.Show(side());
  rig_.Select(side(), {"SUB", "OTHER"});
  rig_.ui.cancel_message_at_pump = 3;
  EXPECT_FALSE(Gather());
  EXPECT_TRUE(rig_.ui.shown.empty());  // no box at all
  EXPECT_TRUE(rig_.ui.main_enabled);
  EXPECT_LT(rig_.queue.size(), 10u);
  for (int slot = 1; slot <= SearchSlots::kCount; ++slot) EXPECT_FALSE(rig_.slots.InUse(slot));
}

INSTANTIATE_TEST_SUITE_P(BothSides, GatherTest, BothSides(), SideParamName);

}  // namespace
}  // namespace duplane
