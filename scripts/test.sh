#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Linux programs'
# and, under Wine, the Windows Remote Module's (cross-built into
# build-windows/ first).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh
scripts/setup-wine.sh
DUPLANE_WINDOWS_DIR="$PWD/${DUPLANE_WINDOWS_DIR:-build-windows}" scripts/setup.sh
build_dir="${DUPLANE_BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600
