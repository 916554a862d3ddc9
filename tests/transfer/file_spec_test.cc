// Filespecs of one pattern or several: what the side is asked for, and which
// names the list keeps.
#include "transfer/file_spec.h"

#include <gtest/gtest.h>

namespace duplane {
namespace {

TEST(FileSpecTest, OnePatternGoesToTheSearchAsTyped) {
  const FileSpec spec(" *.txt");
  EXPECT_TRUE(spec.single());
  EXPECT_EQ(spec.text(), " *.txt");
  EXPECT_TRUE(FileSpec("*.*").all());
  EXPECT_FALSE(FileSpec("*").all());  // the side's search decides, as ever
}

TEST(FileSpecTest, SeveralPatternsMatchAnyOfThemWithoutRegardToCase) {
  const FileSpec spec("*.txt; *.LOG ;;a?.bin");
  EXPECT_FALSE(spec.single());
  EXPECT_FALSE(spec.all());
  for (const char* name : {"x.TXT", "y.log", "ab.bin"}) EXPECT_TRUE(spec.Matches(name)) << name;
  for (const char* name : {"x.txt.gz", "abc.bin", "log"}) EXPECT_FALSE(spec.Matches(name)) << name;
  EXPECT_TRUE(FileSpec("*.txt;*").all());
  EXPECT_TRUE(FileSpec("*.*;").all());
}

TEST(FileSpecTest, APatternThatLeavesTheDirectoryMatchesNothing) {
  const FileSpec spec("..\\*.txt;C:*.log");
  EXPECT_FALSE(spec.Matches("a.txt"));
  EXPECT_FALSE(spec.Matches("a.log"));
}

}  // namespace
}  // namespace duplane
