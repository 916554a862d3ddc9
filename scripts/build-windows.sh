#!/usr/bin/env bash
# Cross-builds the Remote Module for Windows: duplane-remote.exe for 32-bit
# (build-windows/i686/) and 64-bit (build-windows/x86_64/) Windows, XP and
# later, statically linked. Installs the MinGW-w64 compilers first when they
# are missing. Any arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev)
scripts/install-packages.sh "${packages[@]}"

out="${DUPLANE_WINDOWS_DIR:-build-windows}"
for arch in i686 x86_64; do
  scripts/configure.sh "$out/$arch" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-$arch.cmake" "$@"
  cmake --build "$out/$arch" -j "$(nproc)"
done
