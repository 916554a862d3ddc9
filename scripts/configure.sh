#!/usr/bin/env bash
# Configures a build directory with Ninja and, where one is installed, a
# compiler cache, which makes rebuilds in several checkouts cheap. Used by
# setup.sh and build-windows.sh.
#   scripts/configure.sh BUILD_DIR [cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="$1"
shift
launcher=()
if command -v ccache >/dev/null; then
  cache="env;CCACHE_BASEDIR=$PWD;CCACHE_NOHASHDIR=1;ccache"
  launcher=("-DCMAKE_CXX_COMPILER_LAUNCHER=$cache" "-DCMAKE_C_COMPILER_LAUNCHER=$cache")
fi
cmake -S . -B "$build_dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
