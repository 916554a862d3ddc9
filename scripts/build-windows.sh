#!/usr/bin/env bash
# Cross-builds the Remote Module for Windows: duplane-remote.exe for 32-bit
# (build-windows/i686/) and 64-bit (build-windows/x86_64/) Windows, XP and
# later, statically linked. Installs the MinGW-w64 compilers first when they
# are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev)
scripts/install-packages.sh "${packages[@]}"

out="${DUPLANE_WINDOWS_DIR:-build-windows}"
launcher=()
if command -v ccache >/dev/null; then
  cache="env;CCACHE_BASEDIR=$PWD;CCACHE_NOHASHDIR=1;ccache"
  launcher=("-DCMAKE_CXX_COMPILER_LAUNCHER=$cache" "-DCMAKE_C_COMPILER_LAUNCHER=$cache")
fi
for arch in i686 x86_64; do
  cmake -S . -B "$out/$arch" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-$arch.cmake" "${launcher[@]}" >/dev/null
  cmake --build "$out/$arch" -j "$(nproc)"
done
