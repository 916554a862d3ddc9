#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into build/ (or $DUPLANE_BUILD_DIR); any arguments go
# to the configure step. Used by run.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev libgl-dev libglib2.0-dev zlib1g-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          clang libclang-rt-14-dev clang-format xvfb xauth x11-apps xdotool imagemagick fonts-dejavu-core
          librsvg2-bin lintian desktop-file-utils appstream openbox)

scripts/install-packages.sh "${packages[@]}"

build_dir="${DUPLANE_BUILD_DIR:-build}"
scripts/configure.sh "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir" -j "$(nproc)"
