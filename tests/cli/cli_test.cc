// duplane-cli as a script runs it: a real program against a real duplane-remote
// over a virtual cable, on real files in temporary folders, its output going to
// files (no terminal). What it copies must be byte-identical, what it is told
// not to touch untouched, and its exit status must say whether every file made
// it.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <set>

#include "support/cli_process.h"
#include "support/file_tree.h"
#include "support/private_trash.h"
#include "support/remote_process.h"

namespace duplane {
namespace {

::testing::Environment* const kTrash = ::testing::AddGlobalTestEnvironment(new PrivateTrash);

constexpr std::int64_t kSourceTime = 1600000000;  // even: DOS dates keep 2-second steps

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = std::make_unique<RemoteProcess>(
        std::vector<std::string>{"--cable", cable_, "--drive", "C=" + remote_.path()});
  }
  void TearDown() override {
    module_.reset();
    unlink(cable_.c_str());
  }

  std::vector<std::string> WithCable(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--cable", cable_});
    return args;
  }
  CliResult Cli(const std::vector<std::string>& args) const { return RunCli(WithCable(args)); }

  // A file far too large to cross while a test watches: the run is surely in
  // its middle when the test steps in. Sparse, so it costs no disk.
  std::string HugeRemoteFile(const std::string& name) const {
    const std::string path = remote_ / name;
    WriteFile(path, "start");
    std::filesystem::resize_file(path, std::uintmax_t{1} << 30);
    return path;
  }

  TempFolder remote_{"cli-remote"};
  TempFolder local_{"cli-local"};
  std::string cable_ = TempCablePath();
  std::unique_ptr<RemoteProcess> module_;
};

TEST_F(CliTest, TreePutThenGetIsByteIdentical) {
  const std::string tree = local_ / "mine/TREE";
  WriteFile(tree + "/A.TXT", "alpha");
  WriteFile(tree + "/EMPTY.DAT", "");
  WriteFile(tree + "/SUB/BIG.BIN", PatternBytes(3 * 8192 + 17, 1));
  WriteFile(tree + "/SUB/DEEP/.hidden", PatternBytes(100, 2));
  MakeDir(tree + "/NOTHING");
  SetTimes(tree + "/A.TXT", kSourceTime, kSourceTime);

  const CliResult put = Cli({"put", tree, "C:\\"});
  ASSERT_EQ(put.status, 0) << put.out << put.err;
  EXPECT_EQ(CompareTrees(tree, remote_ / "TREE", /*times_and_modes=*/true), "");
  EXPECT_EQ(Exists(tree), true) << "a copy left its source";

  MakeDir(local_ / "back");
  const CliResult get = Cli({"get", "C:/TREE", local_ / "back"});
  ASSERT_EQ(get.status, 0) << get.out << get.err;
  EXPECT_EQ(CompareTrees(tree, local_ / "back/TREE", /*times_and_modes=*/true), "");
  EXPECT_NE(get.out.find("Files copied: 4"), std::string::npos) << get.out;
}

TEST_F(CliTest, MoveDeletesOnlyVerifiedSourcesAndTheirEmptiedDirectories) {
  WriteFile(remote_ / "OUT/ONE.TXT", "one");
  WriteFile(remote_ / "OUT/SUB/TWO.TXT", PatternBytes(20000, 3));
  WriteFile(remote_ / "KEEP.TXT", "not named");

  const CliResult moved = Cli({"get", "--move", "--mode", "normal", "C:\\OUT", local_.path()});
  ASSERT_EQ(moved.status, 0) << moved.out << moved.err;
  EXPECT_EQ(ReadFile(local_ / "OUT/SUB/TWO.TXT"), PatternBytes(20000, 3));
  EXPECT_FALSE(Exists(remote_ / "OUT")) << "emptied source directories stay";
  EXPECT_EQ(ReadFile(remote_ / "KEEP.TXT"), "not named");
}

// Each overwrite mode against targets that are older, newer, as old as the
// source, and missing.
struct OverwriteCase {
  const char* mode;
  std::set<std::string> overwritten;  // the files that end up with the source's bytes
  const char* skipped_line;           // "" when nothing is skipped
};

void PrintTo(const OverwriteCase& c, std::ostream* os) { *os << c.mode; }

class CliOverwriteTest : public CliTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(CliOverwriteTest, TakesOnlyTheFilesItsModeAllows) {
  const OverwriteCase& c = GetParam();
  const std::map<std::string, std::int64_t> target_times = {{"OLDER.TXT", kSourceTime - 1000},
                                                            {"NEWER.TXT", kSourceTime + 1000},
                                                            {"SAME.TXT", kSourceTime}};
  for (const char* name : {"OLDER.TXT", "NEWER.TXT", "SAME.TXT", "MISSING.TXT"}) {
    WriteFile(remote_ / (std::string("SET/") + name), "source");
    SetTimes(remote_ / (std::string("SET/") + name), kSourceTime, kSourceTime);
  }
  for (const auto& [name, time] : target_times) {
    WriteFile(local_ / name, "target");
    SetTimes(local_ / name, time, time);
  }

  const CliResult run = Cli({"get", "--overwrite", c.mode, "C:\\SET\\", local_.path()});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  for (const char* name : {"OLDER.TXT", "NEWER.TXT", "SAME.TXT", "MISSING.TXT"}) {
    const bool expected = c.overwritten.count(name) > 0;
    const std::string path = local_ / name;
    if (expected) {
      EXPECT_EQ(ReadFile(path), "source") << name;
    } else if (target_times.count(name) > 0) {
      EXPECT_EQ(ReadFile(path), "target") << name;
    } else {
      EXPECT_FALSE(Exists(path)) << name;
    }
  }
  if (*c.skipped_line != '\0') {
    EXPECT_NE(run.out.find(c.skipped_line), std::string::npos) << run.out;
  } else {
    EXPECT_EQ(run.out.find("skipped"), std::string::npos) << run.out;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CliOverwriteTest,
    ::testing::Values(OverwriteCase{"never", {"MISSING.TXT"}, "Files skipped: 3"},
                      OverwriteCase{
                          "always", {"OLDER.TXT", "NEWER.TXT", "SAME.TXT", "MISSING.TXT"}, ""},
                      OverwriteCase{"update", {"OLDER.TXT", "MISSING.TXT"}, "Files skipped: 2"},
                      OverwriteCase{"freshen", {"OLDER.TXT"}, "Files skipped: 3"}),
    [](const ::testing::TestParamInfo<OverwriteCase>& info) { return info.param.mode; });

TEST_F(CliTest, WithoutAnOverwriteModeAScriptNeverOverwrites) {
  WriteFile(remote_ / "A.TXT", "source");
  WriteFile(local_ / "A.TXT", "target");
  const CliResult run = Cli({"get", "C:\\A.TXT", local_.path()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(local_ / "A.TXT"), "target");
}

// rm in each delete mode: the files go, the emptied directories after them.
class CliRmTest : public CliTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliRmTest, DeletesTheTreeInItsMode) {
  const std::string mode = GetParam();
  const std::string marker = "RM-" + mode + ".TXT";
  WriteFile(remote_ / ("GONE/" + marker), "x");
  WriteFile(remote_ / "GONE/SUB/B.TXT", PatternBytes(9000, 4));
  WriteFile(remote_ / "STAYS.TXT", "y");

  const CliResult run = Cli({"rm", "--mode", mode, "C:\\GONE"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_FALSE(Exists(remote_ / "GONE"));
  EXPECT_EQ(ReadFile(remote_ / "STAYS.TXT"), "y");
  EXPECT_NE(run.out.find("Files deleted: 2\nDirs deleted:  2"), std::string::npos) << run.out;
  const bool in_trash = Exists(PrivateTrash::TrashFiles() + "/" + marker);
  EXPECT_EQ(in_trash, mode == "recycle");
}

INSTANTIATE_TEST_SUITE_P(Modes, CliRmTest, ::testing::Values("recycle", "normal", "wipe"));

TEST_F(CliTest, RmOfAPatternKeepsTheRestAndKeepEmptyKeepsDirectories) {
  WriteFile(remote_ / "W/A.TMP", "a");
  WriteFile(remote_ / "W/B.txt", "b");
  WriteFile(remote_ / "W/D/C.TMP", "c");
  const CliResult run = Cli({"rm", "--mode", "normal", "--keep-empty", "C:\\W\\*.tmp"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_FALSE(Exists(remote_ / "W/A.TMP"));
  EXPECT_EQ(ReadFile(remote_ / "W/B.txt"), "b");
  EXPECT_EQ(ReadFile(remote_ / "W/D/C.TMP"), "c") << "a pattern reached into a directory";

  const CliResult tree = Cli({"rm", "--mode", "normal", "--keep-empty", "C:\\W\\D"});
  ASSERT_EQ(tree.status, 0) << tree.out << tree.err;
  EXPECT_FALSE(Exists(remote_ / "W/D/C.TMP"));
  EXPECT_TRUE(Exists(remote_ / "W/D"));
}

TEST_F(CliTest, ExitStatusesTellFaultsFromUsageAndConnectionErrors) {
  WriteFile(remote_ / "HERE.TXT", "here");

  const CliResult missing = Cli({"get", "C:\\HERE.TXT", "C:\\NOPE.TXT", local_.path()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("NOPE.TXT: not found in C:\\ on Remote PC"), std::string::npos)
      << missing.err;
  EXPECT_EQ(ReadFile(local_ / "HERE.TXT"), "here") << "the file that is there was not copied";

  const CliResult no_target = Cli({"put", local_ / "HERE.TXT", "C:\\NO\\SUCH"});
  EXPECT_EQ(no_target.status, 1);
  EXPECT_NE(no_target.err.find("C:\\NO\\SUCH on Remote PC"), std::string::npos) << no_target.err;

  const std::string dead_cable = TempCablePath();
  const CliResult dead = RunCli({"--cable", dead_cable, "--timeout", "1", "ls"});
  unlink(dead_cable.c_str());
  EXPECT_EQ(dead.status, 2);
  EXPECT_NE(dead.err.find("no Remote Module answered"), std::string::npos) << dead.err;

  const CliResult unknown = Cli({"copy", "a", "b"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command 'copy'"), std::string::npos) << unknown.err;

  const CliResult misplaced = Cli({"rm", "--no-safe-copy", "C:\\HERE.TXT"});
  EXPECT_EQ(misplaced.status, 2);
  EXPECT_NE(misplaced.err.find("--no-safe-copy belongs to get and put"), std::string::npos)
      << misplaced.err;

  WriteFile(local_ / "HERE.TXT", "changed");
  const CliResult ask = Cli({"get", "--overwrite", "ask", "C:\\HERE.TXT", local_.path()});
  EXPECT_EQ(ask.status, 2) << "asked where nobody can answer";
  EXPECT_EQ(ReadFile(local_ / "HERE.TXT"), "changed");
}

TEST_F(CliTest, ANonTerminalRunWritesOneLogLinePerFileAndTheSummary) {
  WriteFile(remote_ / "LOG/ONE.TXT", "1");
  WriteFile(remote_ / "LOG/TWO.BIN", PatternBytes(30000, 5));
  WriteFile(remote_ / "LOG/SUB/THREE.TXT", "3");

  const CliResult run = Cli({"get", "C:\\LOG", local_.path()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find_first_of("\r\033"), std::string::npos) << "terminal control in a log";
  EXPECT_EQ(run.err, "");
  for (const char* file : {"ONE.TXT", "TWO.BIN", "SUB\\THREE.TXT"}) {
    const std::string path = std::string("C:\\LOG\\") + file;
    const std::size_t first = run.out.find(path);
    EXPECT_NE(first, std::string::npos) << path << " missing from\n" << run.out;
    EXPECT_EQ(run.out.find(path, first + 1), std::string::npos) << path << " logged twice";
  }
  // Search order, not name order: only the form of the line is fixed.
  EXPECT_NE(run.out.find(" of 3: C:\\LOG\\TWO.BIN (30,000 bytes)\n"), std::string::npos) << run.out;
  const std::string tail = "Files copied: 3\nDirs created: 2\n";
  ASSERT_GE(run.out.size(), tail.size());
  EXPECT_EQ(run.out.substr(run.out.size() - tail.size()), tail);
}

// The Remote Module goes away in the middle of a move: the run ends with the
// connection error, and the source is still whole on the other PC.
TEST_F(CliTest, AModuleThatStopsAnsweringEndsTheRunWithoutLosingTheSource) {
  const std::string source = HugeRemoteFile("HUGE.BIN");
  CliProcess run(WithCable({"get", "--move", "C:\\HUGE.BIN", local_.path()}));
  ASSERT_TRUE(run.WaitForOut("1 of 1: C:\\HUGE.BIN", 60)) << run.Out() << run.Err();
  module_->Stop();

  EXPECT_EQ(run.Wait(), 2) << run.Out() << run.Err();
  EXPECT_NE(run.Err().find("timeout: connection lost"), std::string::npos) << run.Err();
  ASSERT_TRUE(Exists(source));
  EXPECT_EQ(std::filesystem::file_size(source), std::uintmax_t{1} << 30);
}

// Ctrl+C in a script: the first finishes the current file, a second abandons
// it, as answering No to the window's "Finish it before stopping?" does.
TEST_F(CliTest, ASecondInterruptAbandonsTheFileAndKeepsTheSourceOfAMove) {
  const std::string source = HugeRemoteFile("HUGE.BIN");
  CliProcess run(WithCable({"get", "--move", "--mode", "normal", "C:\\HUGE.BIN", local_.path()}));
  ASSERT_TRUE(run.WaitForOut("1 of 1: C:\\HUGE.BIN", 60)) << run.Out() << run.Err();
  run.Signal(SIGINT);
  ASSERT_TRUE(run.WaitForOut("Interrupted: finishing", 60)) << run.Out() << run.Err();
  run.Signal(SIGINT);

  EXPECT_EQ(run.Wait(), 1) << run.Out() << run.Err();
  EXPECT_NE(run.Out().find("Files moved: 0"), std::string::npos) << run.Out();
  EXPECT_FALSE(Exists(local_ / "HUGE.BIN")) << "the abandoned copy stayed behind";
  // Left to be resumed, under a name that says what it is.
  EXPECT_TRUE(Exists(local_ / "HUGE.BIN.duplane-part"));
  ASSERT_TRUE(Exists(source));
  EXPECT_EQ(std::filesystem::file_size(source), std::uintmax_t{1} << 30);
}

}  // namespace
}  // namespace duplane
