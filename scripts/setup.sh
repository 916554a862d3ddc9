#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into build/ (or $DUPLANE_BUILD_DIR); any arguments go
# to the configure step. Used by run.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev libgl-dev libglib2.0-dev zlib1g-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          clang libclang-rt-14-dev xvfb xauth x11-apps xdotool imagemagick fonts-dejavu-core
          librsvg2-bin lintian desktop-file-utils appstream openbox)

scripts/install-packages.sh "${packages[@]}"

build_dir="${DUPLANE_BUILD_DIR:-build}"
launcher=()
# A compiler cache, where one is installed, makes rebuilds in several checkouts cheap.
if command -v ccache >/dev/null; then
  cache="env;CCACHE_BASEDIR=$PWD;CCACHE_NOHASHDIR=1;ccache"
  launcher=("-DCMAKE_CXX_COMPILER_LAUNCHER=$cache" "-DCMAKE_C_COMPILER_LAUNCHER=$cache")
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
