// duplane-remote's command line: port addresses are hexadecimal however they
// are written, and a probe names at most one hardware port.
#include "remote/remote_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace duplane {
namespace {

bool Parse(std::vector<const char*> args, RemoteOptions* options, std::string* error) {
  args.insert(args.begin(), "duplane-remote");
  return ParseRemoteOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(RemoteOptionsTest, BaseAddressIsHexadecimalWithOrWithoutPrefix) {
  const std::pair<const char*, std::uint16_t> good[] = {
      {"378", 0x378},   {"0378", 0x378},    {"0x378", 0x378}, {"0X3bc", 0x3BC},
      {"D010", 0xD010}, {"0xd010", 0xD010}, {"FFFF", 0xFFFF}};
  for (const auto& [text, base] : good) {
    RemoteOptions options;
    std::string error;
    EXPECT_TRUE(Parse({"--base", text}, &options, &error)) << text << ": " << error;
    EXPECT_EQ(options.base, base) << text;
  }
  for (const char* text :
       {"", "0", "0x", "10000", "-378", "+378", " 378", "378h", "0x0x378", "G10"}) {
    RemoteOptions options;
    std::string error;
    EXPECT_FALSE(Parse({"--base", text}, &options, &error)) << text;
    EXPECT_NE(error.find(std::string("'") + text + "'"), std::string::npos) << error;
  }
}

TEST(RemoteOptionsTest, ProbeTakesAtMostOneHardwarePort) {
  RemoteOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--probe"}, &options, &error)) << error;
  EXPECT_TRUE(options.probe);
  ASSERT_TRUE(Parse({"--probe", "--base=D010"}, &options, &error)) << error;
  EXPECT_EQ(options.base, 0xD010);
  ASSERT_TRUE(Parse({"--lpt", "2", "--probe"}, &options, &error)) << error;
  EXPECT_EQ(options.lpt, 2);
  EXPECT_FALSE(Parse({"--probe", "--lpt", "1", "--base", "378"}, &options, &error));
  EXPECT_FALSE(Parse({"--probe", "--cable", "/dev/shm/x"}, &options, &error));
  EXPECT_NE(error.find("--probe"), std::string::npos) << error;
  // Serving still needs exactly one port.
  EXPECT_FALSE(Parse({"--drive", "C=/tmp"}, &options, &error));
}

}  // namespace
}  // namespace duplane
