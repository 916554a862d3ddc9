// duplane-remote: the Remote Module. (Placeholder until the command loop lands.)
#include <cstdio>

int main() {
  std::fprintf(stderr, "duplane-remote: not built yet\n");
  return 2;
}
