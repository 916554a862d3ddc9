#!/usr/bin/env bash
# Installs what is missing, checks that every source file is formatted as
# .clang-format says, builds with warnings as errors, and runs every test, the
# Windows Remote Module's (cross-built into build-windows/) under Wine among
# them; then builds the link, Remote Module and transfer layers and the window
# once more with AddressSanitizer and UndefinedBehaviorSanitizer (no
# benchmarks) and runs their tests there too (of the window's, those of its way
# out); then builds the Debian packages and checks them (lintian, an install
# into a scratch root, the installed programs). Fails when any step fails.
# With DUPLANE_TEST_THREADS=1 it also builds the layers below the window with
# ThreadSanitizer (into build-tsan/) and runs their tests, whose two cable
# ends are two threads; that build is left out by default for its cost.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
build_dir="${DUPLANE_BUILD_DIR:-build}"
asan_dir="${DUPLANE_ASAN_BUILD_DIR:-build-asan}"
status=0

scripts/build-windows.sh -DDUPLANE_WERROR=ON
scripts/setup-wine.sh
scripts/setup.sh -DDUPLANE_WINDOWS_DIR="$PWD/build-windows" -DDUPLANE_WERROR=ON
find src tests bench \( -name '*.cc' -o -name '*.h' -o -name '*.c' \) -print0 |
  xargs -0 clang-format --dry-run --Werror || { echo "test: files differ from .clang-format (clang-format -i them)" >&2; status=1; }
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600 || status=1

DUPLANE_BUILD_DIR="$asan_dir" scripts/setup.sh -DDUPLANE_SANITIZE=ON -DDUPLANE_BUILD_BENCH=OFF -DDUPLANE_WERROR=ON
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" ctest --test-dir "$asan_dir" --output-on-failure -j "$(nproc)" --timeout 600 || status=1

if [ "${DUPLANE_TEST_THREADS:-0}" = 1 ]; then
  tsan_dir="${DUPLANE_TSAN_BUILD_DIR:-build-tsan}"
  DUPLANE_BUILD_DIR="$tsan_dir" scripts/setup.sh -DDUPLANE_SANITIZE=thread -DDUPLANE_BUILD_UI=OFF \
    -DDUPLANE_BUILD_BENCH=OFF -DDUPLANE_WERROR=ON
  TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$tsan_dir" --output-on-failure -j "$(nproc)" --timeout 600 || status=1
fi

scripts/check_packages.sh "$build_dir" || status=1
exit "$status"
