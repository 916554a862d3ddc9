#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demo: a Remote Module serving
# a demo folder over a virtual cable. (The window joins it once it exists.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${DUPLANE_BUILD_DIR:-build}"
demo="$PWD/.demo/remote"
if [ ! -d "$demo" ]; then
  mkdir -p "$demo/Documents/Letters" "$demo/Pictures"
  echo "Hello from the Remote PC." > "$demo/README.TXT"
  echo "Dear friend," > "$demo/Documents/Letters/LETTER1.TXT"
  head -c 100000 /dev/urandom > "$demo/Pictures/PHOTO.BIN"
fi
cable="/dev/shm/duplane-demo-$(id -un)"
echo "The window is not built yet: starting only the Remote Module on the virtual cable $cable,"
echo "serving $demo as drive C:. Press Ctrl+C to stop it."
exec "$build_dir/src/remote/duplane-remote" --cable "$cable" --drive "C=$demo"
