#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then builds the link,
# Remote Module and transfer layers and the window once more with
# AddressSanitizer and UndefinedBehaviorSanitizer (no benchmarks) and runs
# their tests there too (of the window's, those of its way out); then builds
# the Debian packages and checks them (lintian, an install into a scratch
# root, the installed programs). Fails when any step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
build_dir="${DUPLANE_BUILD_DIR:-build}"
asan_dir="${DUPLANE_ASAN_BUILD_DIR:-build-asan}"
status=0

scripts/setup.sh
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600 || status=1

DUPLANE_BUILD_DIR="$asan_dir" scripts/setup.sh -DDUPLANE_SANITIZE=ON -DDUPLANE_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" ctest --test-dir "$asan_dir" --output-on-failure -j "$(nproc)" --timeout 600 || status=1

scripts/check_packages.sh "$build_dir" || status=1
exit "$status"
