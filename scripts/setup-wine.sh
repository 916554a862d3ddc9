#!/usr/bin/env bash
# Installs Wine for the Windows module's tests (only what is missing): wine64
# runs the 64-bit duplane-remote.exe, and wine32, which needs Debian's i386
# architecture enabled, the 32-bit one.
set -euo pipefail

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
update=0
if [ "$(dpkg --print-architecture)" = amd64 ] &&
   ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Enabling the i386 architecture for the 32-bit Wine"
  $sudo dpkg --add-architecture i386
  update=1
fi
missing=()
for p in wine wine64 wine32:i386; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  update=1
fi
if ((update)); then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
fi
if ((${#missing[@]})); then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
