#!/usr/bin/env bash
# Installs what is missing, builds, runs every test, then builds the Debian
# packages and checks them (lintian, an install into a scratch root, the
# installed programs).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${DUPLANE_BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600
scripts/check_packages.sh "$build_dir"
