// The copy and move engine in both directions over a virtual cable against a
// Remote Module, with the trees compared byte for byte afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <fstream>

#include "support/copy_direction_test.h"
#include "support/sides.h"
#include "transfer/copy_engine.h"
#include "transfer/overwrite.h"

namespace duplane {
namespace {

// Local wall-clock time as seconds since 1970 (DOS dates are local time).
std::int64_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

std::int64_t AccessTime(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_atim.tv_sec;
}

constexpr std::size_t kBlock = 8192;

class CopyTest : public CopyDirectionTest {
 protected:
  // TREE\{A.TXT ZERO.DAT RO.TXT(read-only, old times) SUB\{BIG.BIN DEEP\D.TXT EMPTY\}}
  void MakeTree() {
    WriteFile(S("TREE/A.TXT"), "alpha");
    WriteFile(S("TREE/ZERO.DAT"), "");
    WriteFile(S("TREE/RO.TXT"), "read only");
    SetTimes(S("TREE/RO.TXT"), LocalTime(2002, 3, 4, 5, 6, 8), LocalTime(2001, 2, 3, 4, 5, 6));
    MakeReadOnly(S("TREE/RO.TXT"));
    WriteFile(S("TREE/SUB/BIG.BIN"), PatternBytes(3 * kBlock + 1234, 1));
    WriteFile(S("TREE/SUB/DEEP/D.TXT"), "delta");
    MakeDir(S("TREE/SUB/EMPTY"));
  }
  void ShowBoth() {
    rig_.Show(t());
    rig_.Show(s());
  }
  void Run(bool is_move) { CopyFiles(rig_.ctx(), s(), is_move); }
  // Four files against targets that are missing, older, as old and newer.
  void MakeOverwriteCase() {
    const std::int64_t when = LocalTime(2020, 6, 1, 12, 0, 0);
    for (const char* name : {"MISSING.TXT", "NEWER.TXT", "OLDER.TXT", "SAME.TXT"}) {
      WriteFile(S(name), std::string("new ") + name);
      SetTimes(S(name), when, when);
    }
    const std::pair<const char*, std::int64_t> targets[] = {
        {"NEWER.TXT", LocalTime(2021, 6, 1, 12, 0, 0)},
        {"OLDER.TXT", LocalTime(2019, 6, 1, 12, 0, 0)},
        {"SAME.TXT", when}};
    for (const auto& [name, time] : targets) {
      WriteFile(T(name), std::string("old ") + name);
      SetTimes(T(name), time, time);
    }
    ShowBoth();
    rig_.Select(s(), {"MISSING.TXT", "NEWER.TXT", "OLDER.TXT", "SAME.TXT"});
  }
  // Which of the four targets now hold the source's bytes.
  std::string Overwritten() {
    std::string result;
    for (const char* name : {"MISSING.TXT", "NEWER.TXT", "OLDER.TXT", "SAME.TXT"}) {
      if (Exists(T(name)) && ReadFile(T(name)) == std::string("new ") + name) {
        result += std::string(name).substr(0, 2);
      }
    }
    return result;
  }
};

TEST_P(CopyTest, NestedTreeArrivesWithBytesTimesAndAttributes) {
  MakeTree();
  ShowBoth();
  rig_.Select(s(), {"TREE"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwritePrompt));
  rig_.ui.ExpectInfo("Files copied: 5\rDirs created: 4");
  Run(false);
  rig_.ui.VerifyAllAsked();

  // The access time first: reading the bytes below moves it.
  EXPECT_EQ(AccessTime(T("TREE/RO.TXT")), LocalTime(2002, 3, 4, 5, 6, 8));
  EXPECT_EQ(CompareTrees(S("TREE"), T("TREE"), /*times_and_modes=*/true), "");
  EXPECT_EQ(ReadTree(S("TREE")).size(), 8u);  // a copy leaves the source alone

  EXPECT_EQ(rig_.ui.copy_setup.caption,
            "Copy these files from " + source_name() + " to " + target_name() + "?");
  EXPECT_EQ(rig_.ui.copy_setup.source_dir, "C:\\");
  EXPECT_EQ(rig_.ui.copy_setup.target_dir, "C:\\");
  EXPECT_FALSE(rig_.ui.copy_setup.move_options_enabled);
  EXPECT_EQ(rig_.ui.status_captions,
            std::vector<std::string>{"Copy from " + source_name() + " to " + target_name()});
  EXPECT_EQ(rig_.ui.status_seqs.front(), "1 of 5");
  EXPECT_EQ(rig_.ui.status_seqs.back(), "5 of 5");
  const auto big = std::find(rig_.ui.status_files.begin(), rig_.ui.status_files.end(), "BIG.BIN");
  ASSERT_NE(big, rig_.ui.status_files.end());
  EXPECT_EQ(rig_.ui.status_dirs[big - rig_.ui.status_files.begin()],
            std::make_pair(std::string("C:\\TREE\\SUB\\"), std::string("C:\\TREE\\SUB\\")));
  EXPECT_EQ(rig_.ui.bars.back(), std::make_pair(100, 100));
  EXPECT_EQ(rig_.ui.paused_ms, 500);
  EXPECT_FALSE(rig_.ui.status_open);
  EXPECT_TRUE(rig_.ui.main_enabled);
  EXPECT_EQ(rig_.ui.fill_lists, std::vector<Side>{t()});
}

// Linux names that hold characters no Windows name can: selected and queued
// under their private-use twins, they arrive under their own names.
TEST_P(CopyTest, NamesWindowsCannotHoldArriveUnderTheirOwnNames) {
  const std::string colon = "\xEF\x80\xBA";
  WriteFile(S("12:00.log"), "noon");
  WriteFile(S("STAMPS/what?.txt"), "q");
  WriteFile(S("STAMPS/a<b>\"c|d*.txt"), "mixed");
  WriteFile(S("STAMPS/back\\slash"), "b");
  WriteFile(S("STAMPS/dir:x/in:side"), PatternBytes(kBlock + 5, 2));
  ShowBoth();
  rig_.Select(s(), {"12" + colon + "00.log", "STAMPS"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwritePrompt));
  rig_.ui.ExpectInfo("Files copied: 5\rDirs created: 2");
  Run(false);
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(ReadFile(T("12:00.log")), "noon");
  EXPECT_EQ(CompareTrees(S("STAMPS"), T("STAMPS"), /*times_and_modes=*/true), "");
}

TEST_P(CopyTest, ExistingReadOnlyTargetCannotBeCreated) {
  WriteFile(S("RO.TXT"), "new");
  WriteFile(T("RO.TXT"), "old");
  MakeReadOnly(T("RO.TXT"));
  ShowBoth();
  rig_.Select(s(), {"RO.TXT"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectError("Error creating RO.TXT on " + target_name());
  rig_.ui.ExpectInfo("Files copied: 0");
  Run(false);
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(ReadFile(T("RO.TXT")), "old");
  EXPECT_EQ(ReadFile(S("RO.TXT")), "new");
}

TEST_P(CopyTest, OverwriteModesAgainstMissingOlderSameAndNewerTargets) {
  const struct {
    std::int32_t mode;
    const char* overwritten;
    const char* summary;
  } cases[] = {
      {kOverwriteAlways, "MINEOLSA", "Files copied: 4"},
      {kOverwriteNever, "MI", "Files copied: 1\rFiles skipped: 3"},
      {kOverwriteFreshen, "OL", "Files copied: 1\rFiles skipped: 3"},
      {kOverwriteUpdate, "MIOL", "Files copied: 2\rFiles skipped: 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    TransferRig& rig = rig_;
    for (const char* name : {"MISSING.TXT", "NEWER.TXT", "OLDER.TXT", "SAME.TXT"}) {
      std::remove(S(name).c_str());
      std::remove(T(name).c_str());
    }
    MakeOverwriteCase();
    rig.ui.ExpectCopyMove(CopyOptions(c.mode));
    rig.ui.ExpectInfo(c.summary);
    Run(false);
    rig.ui.VerifyAllAsked();
    EXPECT_EQ(Overwritten(), c.overwritten);
  }
}

TEST_P(CopyTest, PromptAnsweredNoThenAll) {
  MakeOverwriteCase();
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwritePrompt));
  rig_.ui.ExpectPrompt("NEWER.TXT already exists on " + target_name() +
                           "\r\rSource date: 2020-06-01  12:00:00\rTarget date: 2021-06-01  "
                           "12:00:00\r\rOverwrite it?",
                       PromptAnswer::kNo);
  rig_.ui.ExpectPrompt("", PromptAnswer::kAll);  // OLDER; SAME is then not asked about
  rig_.ui.ExpectInfo("Files copied: 3\rFiles skipped: 1");
  Run(false);
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(Overwritten(), "MIOLSA");
  EXPECT_EQ(rig_.ui.overwrite_labels, (std::vector<std::string>{"Prompt", "Always"}));

  // The next run starts again from the dialog's choice.
  rig_.Select(s(), {"SAME.TXT"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwritePrompt));
  rig_.ui.ExpectPrompt("", PromptAnswer::kYes);
  rig_.ui.ExpectInfo("Files copied: 1");
  Run(false);
  rig_.ui.VerifyAllAsked();
}

TEST_P(CopyTest, PromptAnsweredYesThenCancelStops) {
  MakeOverwriteCase();
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwritePrompt));
  rig_.ui.ExpectPrompt("", PromptAnswer::kYes);     // NEWER
  rig_.ui.ExpectPrompt("", PromptAnswer::kCancel);  // OLDER: stop
  rig_.ui.ExpectInfo("Files copied: 2");
  Run(false);
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(Overwritten(), "MINE");
}

TEST_P(CopyTest, CancelDuringAFileAnsweredYesFinishesItThenStops) {
  WriteFile(S("A_BIG.BIN"), PatternBytes(5 * kBlock + 100, 2));
  WriteFile(S("Z_LAST.TXT"), "last");
  ShowBoth();
  rig_.Select(s(), {"A_BIG.BIN", "Z_LAST.TXT"});
  rig_.ui.cancel_status_at_pump = 2;  // after the first block
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectYesNo("A_BIG.BIN in progress.\rFinish it before stopping?", true);
  rig_.ui.ExpectInfo("Files moved: 1");
  Run(true);
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(ReadFile(T("A_BIG.BIN")), PatternBytes(5 * kBlock + 100, 2));
  EXPECT_FALSE(Exists(S("A_BIG.BIN")));
  EXPECT_TRUE(Exists(S("Z_LAST.TXT")));
  EXPECT_FALSE(Exists(T("Z_LAST.TXT")));
}

TEST_P(CopyTest, CancelDuringAFileAnsweredNoDropsThePartialTarget) {
  WriteFile(S("A_BIG.BIN"), PatternBytes(5 * kBlock + 100, 2));
  ShowBoth();
  rig_.Select(s(), {"A_BIG.BIN"});
  rig_.ui.cancel_status_at_pump = 3;
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectYesNo("", false);
  rig_.ui.ExpectInfo("Files moved: 0");
  Run(true);
  rig_.ui.VerifyAllAsked();
  EXPECT_FALSE(Exists(T("A_BIG.BIN")));
  EXPECT_EQ(ReadFile(S("A_BIG.BIN")), PatternBytes(5 * kBlock + 100, 2));
}

TEST_P(CopyTest, MoveWithDeleteEmptyDirectoriesLeavesNoSource) {
  MakeTree();
  const auto before = ReadTree(S("TREE"));
  ShowBoth();
  rig_.Select(s(), {"TREE"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwritePrompt, kDeleteNormal, true));
  rig_.ui.ExpectInfo("Files moved: 5\rDirs created: 4");
  Run(true);
  rig_.ui.VerifyAllAsked();
  EXPECT_FALSE(Exists(S("TREE")));
  EXPECT_EQ(ReadTree(T("TREE")).size(), before.size());
  EXPECT_EQ(ReadFile(T("TREE/SUB/BIG.BIN")), PatternBytes(3 * kBlock + 1234, 1));
  EXPECT_TRUE(rig_.ui.copy_setup.move_options_enabled);
  EXPECT_TRUE(rig_.ui.pane(s()).tree_stale);
  EXPECT_EQ(rig_.ui.fill_lists, (std::vector<Side>{s(), t()}));
}

TEST_P(CopyTest, MoveWithoutDeleteEmptyDirectoriesLeavesTheDirectories) {
  MakeTree();
  ShowBoth();
  rig_.Select(s(), {"TREE"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwritePrompt, kDeleteNormal, false));
  rig_.ui.ExpectInfo("Files moved: 5\rDirs created: 4");
  Run(true);
  rig_.ui.VerifyAllAsked();
  const auto rest = ReadTree(S("TREE"));
  EXPECT_EQ(rest.size(), 3u);  // SUB, SUB/DEEP, SUB/EMPTY
  for (const auto& [name, entry] : rest) EXPECT_TRUE(entry.is_dir) << name;
}

TEST_P(CopyTest, MoveWithOneFileSkippedKeepsItsDirectories) {
  MakeTree();
  WriteFile(T("TREE/SUB/DEEP/D.TXT"), "target's own");
  ShowBoth();
  rig_.Select(s(), {"TREE"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteNever, kDeleteNormal, true));
  rig_.ui.ExpectInfo("Files moved: 4\rFiles skipped: 1\rDirs created: 1");
  Run(true);
  rig_.ui.VerifyAllAsked();
  const auto rest = ReadTree(S("TREE"));
  EXPECT_EQ(rest.size(), 3u);  // SUB, SUB/DEEP, SUB/DEEP/D.TXT
  EXPECT_EQ(rest.at("SUB/DEEP/D.TXT").bytes, "delta");
  EXPECT_EQ(ReadFile(T("TREE/SUB/DEEP/D.TXT")), "target's own");
}

TEST_P(CopyTest, SourceThatVanishedAfterGatheringStopsTheRun) {
  WriteFile(S("A.TXT"), "a");
  WriteFile(S("B.TXT"), "b");
  ShowBoth();
  rig_.Select(s(), {"A.TXT", "B.TXT"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways), true,
                         [&](TransferQueue&) { std::remove(S("B.TXT").c_str()); });
  rig_.ui.ExpectError("Error opening B.TXT on " + source_name());
  rig_.ui.ExpectInfo("Files copied: 1");
  Run(false);
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(ReadFile(T("A.TXT")), "a");
  EXPECT_FALSE(Exists(T("B.TXT")));
}

TEST_P(CopyTest, SourceThatGrowsWhileCopiedIsNotCountedAndTheMoveKeepsIt) {
  const std::string bytes = PatternBytes(3 * kBlock, 4);
  WriteFile(S("LOG.TXT"), bytes);
  ShowBoth();
  rig_.Select(s(), {"LOG.TXT"});
  int status_pumps = 0;
  rig_.ui.on_pump = [&] {
    if (rig_.ui.status_open && ++status_pumps == 2) {
      std::ofstream(S("LOG.TXT"), std::ios::app) << "appended while copying";
    }
  };
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectError("LOG.TXT on " + source_name() + " changed while it was copied");
  rig_.ui.ExpectInfo("Files moved: 0");
  Run(true);
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(ReadFile(S("LOG.TXT")), bytes + "appended while copying");
  EXPECT_FALSE(Exists(T("LOG.TXT")));
}

TEST_P(CopyTest, MoveStoppedAtADirectoryKeepsTheEmptySourceDirectoriesNotYetMoved) {
  MakeDir(S("MOVE/BAD"));
  WriteFile(T("MOVE/BAD"), "a file where the directory should go");
  ShowBoth();
  rig_.Select(s(), {"MOVE"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways, kDeleteNormal, true));
  rig_.ui.ExpectError("Error creating directory MOVE\\BAD on " + target_name());
  rig_.ui.ExpectInfo("Files moved: 0");
  Run(true);
  rig_.ui.VerifyAllAsked();
  EXPECT_TRUE(Exists(S("MOVE/BAD")));
}

TEST_P(CopyTest, CancelDuringTheLastBlockStopsBeforeTheNextFile) {
  WriteFile(S("A.TXT"), "one block");
  WriteFile(S("B.TXT"), "another");
  ShowBoth();
  rig_.Select(s(), {"A.TXT", "B.TXT"});
  rig_.ui.cancel_status_at_pump = 2;  // after A.TXT's only block: nothing left to ask about
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectInfo("Files copied: 1");
  Run(false);
  rig_.ui.VerifyAllAsked();
  EXPECT_TRUE(Exists(T("A.TXT")));
  EXPECT_FALSE(Exists(T("B.TXT")));
}

TEST_P(CopyTest, NotConnectedAndNoTargetDirectory) {
  WriteFile(S("A.TXT"), "a");
  ShowBoth();
  rig_.Select(s(), {"A.TXT"});
  rig_.ui.connected = false;
  rig_.ui.ExpectNotConnected();
  Run(false);
  rig_.ui.connected = true;
  rig_.ui.pane(t()).Path.clear();
  rig_.ui.ExpectError("No target directory selected on " + target_name());
  Run(false);
  rig_.ui.VerifyAllAsked();
  EXPECT_FALSE(Exists(T("A.TXT")));
}

INSTANTIATE_TEST_SUITE_P(BothDirections, CopyTest, BothSides(), DirectionName);

}  // namespace
}  // namespace duplane
