#!/usr/bin/env bash
# Builds the Debian packages from a configured and built tree, checks them with
# dpkg-deb and lintian (warnings are shown, errors fail), unpacks them into a
# scratch root and runs the installed programs there: --version and --help of
# each, then the installed duplane-cli against the installed duplane-remote
# over a virtual cable.
#   scripts/check_packages.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-${DUPLANE_BUILD_DIR:-build}}"
out="$build_dir/packages"
rm -rf "$out"
if ! cpack_log=$(cpack --config "$build_dir/CPackConfig.cmake" -B "$out" 2>&1); then
  echo "$cpack_log" >&2
  echo "check_packages: cpack failed" >&2
  exit 1
fi
window_deb=$(ls "$out"/duplane_*.deb)
remote_deb=$(ls "$out"/duplane-remote_*.deb)

fail() { echo "check_packages: $*" >&2; exit 1; }

for deb in "$window_deb" "$remote_deb"; do
  dpkg-deb --info "$deb" >/dev/null || fail "$deb is no valid package"
  dpkg-deb --contents "$deb" >/dev/null || fail "$deb has no readable contents"
done
remote_depends=$(dpkg-deb --field "$remote_deb" Depends)
window_depends=$(dpkg-deb --field "$window_deb" Depends)
echo "duplane depends on: $window_depends"
echo "duplane-remote depends on: $remote_depends"
[[ "$remote_depends" != *qt* ]] || fail "duplane-remote must not need Qt"
[[ "$window_depends" == *libqt6widgets6* ]] || fail "duplane does not depend on Qt Widgets"
[[ "$window_depends" == *libglib2.0-0* ]] || fail "duplane does not depend on GLib"
window_files=$(dpkg-deb --contents "$window_deb")
remote_files=$(dpkg-deb --contents "$remote_deb")
for wanted in usr/bin/duplane usr/bin/duplane-cli usr/share/applications/fi.talveri.Duplane.desktop \
              usr/share/icons/hicolor/scalable/apps/fi.talveri.Duplane.svg \
              usr/share/icons/hicolor/48x48/apps/fi.talveri.Duplane.png \
              usr/share/metainfo/fi.talveri.Duplane.metainfo.xml \
              usr/share/man/man1/duplane.1.gz usr/share/man/man1/duplane-cli.1.gz; do
  grep -q " \./$wanted\$" <<<"$window_files" || fail "duplane lacks /$wanted"
done
for wanted in usr/bin/duplane-remote usr/share/man/man1/duplane-remote.1.gz \
              usr/share/doc/duplane-remote/README.Debian; do
  grep -q " \./$wanted\$" <<<"$remote_files" || fail "duplane-remote lacks /$wanted"
done

# lintian: every finding is shown; errors fail the check.
lintian_out=$(lintian --tag-display-limit 0 "$window_deb" "$remote_deb" 2>/dev/null || true)
if [ -n "$lintian_out" ]; then echo "$lintian_out"; fi
if grep -q '^E: ' <<<"$lintian_out"; then fail "lintian reports errors"; fi

root=$(mktemp -d)
cable="/dev/shm/duplane-package-check-$$"
remote_pid=""
cleanup() {
  if [ -n "$remote_pid" ]; then kill "$remote_pid" 2>/dev/null || true; wait "$remote_pid" 2>/dev/null || true; fi
  rm -rf "$root" "$cable"
}
trap cleanup EXIT
dpkg -x "$window_deb" "$root"
dpkg -x "$remote_deb" "$root"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/fi.talveri.Duplane.desktop" ||
    fail "the desktop entry is not valid"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/fi.talveri.Duplane.metainfo.xml" ||
    fail "the AppStream metainfo is not valid"
fi

# No display at all: --help and --version must not need one.
for program in duplane duplane-cli duplane-remote; do
  version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$root/usr/bin/$program" --version) ||
    fail "$program --version failed"
  [[ "$version" == "$program "[0-9]* ]] || fail "$program --version says '$version'"
  help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$root/usr/bin/$program" --help) ||
    fail "$program --help failed"
  grep -qi 'usage' <<<"$help" || fail "$program --help shows no usage"
  echo "$version: --version and --help answer"
done

mkdir -p "$root/served/DOCS"
echo "from the installed module" >"$root/served/DOCS/NOTE.TXT"
"$root/usr/bin/duplane-remote" --cable "$cable" --drive "C=$root/served" 2>/dev/null &
remote_pid=$!
listing=$("$root/usr/bin/duplane-cli" --cable "$cable" ls 'C:\DOCS')
grep -q 'NOTE.TXT' <<<"$listing" || fail "installed duplane-cli did not list the installed module's files"
echo "installed duplane-cli lists what the installed duplane-remote serves"
echo "check_packages: $(basename "$window_deb") and $(basename "$remote_deb") are fine"
