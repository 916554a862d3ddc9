// main() of the port tests: they run under the ppdev stand-in, so a test
// program that was started without it starts itself again with it preloaded.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <string>

int main(int argc, char** argv) {
  const char* preload = getenv("LD_PRELOAD");
  if (preload == nullptr || std::strstr(preload, PPDEV_STANDIN_LIB) == nullptr) {
    std::string value = PPDEV_STANDIN_LIB;
    if (preload != nullptr && *preload != '\0') value += std::string(":") + preload;
    setenv("LD_PRELOAD", value.c_str(), 1);
    execv("/proc/self/exe", argv);
    return 127;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
