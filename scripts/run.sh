#!/usr/bin/env bash
# The demo on one machine: installs what is missing, builds, then starts a
# Remote Module serving a demo folder over a virtual cable and the window on the
# same cable. Press F2 in the window to connect. The Remote Module stops when
# the window closes.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (DISPLAY and WAYLAND_DISPLAY are empty); run it under Xvfb instead: xvfb-run -a -s '-screen 0 1280x800x24' ./scripts/run.sh"
  exit 1
fi

scripts/setup.sh
build_dir="${DUPLANE_BUILD_DIR:-build}"

demo="$PWD/.demo/remote"
if [ ! -d "$demo" ]; then
  mkdir -p "$demo/Documents/Letters" "$demo/Pictures" "$demo/Projects/duplane/src" "$demo/Empty"
  printf 'Shopping list\r\nmilk\r\nbread\r\n' > "$demo/README.TXT"
  printf 'Dear Ann,\nthe cable works.\n' > "$demo/Documents/Letters/ann.txt"
  printf 'Minutes of the meeting\n' > "$demo/Documents/minutes.txt"
  head -c 150000 /dev/urandom > "$demo/Pictures/holiday.jpg"
  head -c 42000 /dev/urandom > "$demo/Pictures/cat.png"
  printf 'int main() { return 0; }\n' > "$demo/Projects/duplane/src/main.cc"
  printf '.hidden settings\n' > "$demo/.profile"
fi

cable="/dev/shm/duplane-demo-$(id -un)"
"$build_dir/src/remote/duplane-remote" --cable "$cable" --drive "C=$demo" &
remote_pid=$!
stop_remote() {
  kill "$remote_pid" 2>/dev/null || true
  wait "$remote_pid" 2>/dev/null || true
}
trap stop_remote EXIT
"$build_dir/src/ui/duplane" --cable "$cable"
