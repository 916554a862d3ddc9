// Filespecs of one pattern or several: what the side is asked for, and which
// names the list keeps.
#include "transfer/name_patterns.h"

#include <gtest/gtest.h>

namespace duplane {
namespace {

TEST(NamePatternsTest, OnePatternGoesToTheSearchAsTyped) {
  const NamePatterns patterns(" *.txt");
  EXPECT_TRUE(patterns.single());
  EXPECT_EQ(patterns.text(), " *.txt");
  EXPECT_TRUE(NamePatterns("*.*").all());
  EXPECT_FALSE(NamePatterns("*").all());  // the side's search decides, as ever
}

TEST(NamePatternsTest, SeveralPatternsMatchAnyOfThemWithoutRegardToCase) {
  const NamePatterns patterns("*.txt; *.LOG ;;a?.bin");
  EXPECT_FALSE(patterns.single());
  EXPECT_FALSE(patterns.all());
  for (const char* name : {"x.TXT", "y.log", "ab.bin"}) EXPECT_TRUE(patterns.Matches(name)) << name;
  for (const char* name : {"x.txt.gz", "abc.bin", "log"})
    EXPECT_FALSE(patterns.Matches(name)) << name;
  EXPECT_TRUE(NamePatterns("*.txt;*").all());
  EXPECT_TRUE(NamePatterns("*.*;").all());
}

TEST(NamePatternsTest, APatternThatLeavesTheDirectoryMatchesNothing) {
  const NamePatterns patterns("..\\*.txt;C:*.log");
  EXPECT_FALSE(patterns.Matches("a.txt"));
  EXPECT_FALSE(patterns.Matches("a.log"));
}

}  // namespace
}  // namespace duplane
