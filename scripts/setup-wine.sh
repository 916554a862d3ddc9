#!/usr/bin/env bash
# Installs Wine for the Windows module's tests (only what is missing): wine64
# runs the 64-bit duplane-remote.exe, and wine32, which needs Debian's i386
# architecture enabled, the 32-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(dpkg --print-architecture)" = amd64 ] &&
   ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Enabling the i386 architecture for the 32-bit Wine"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo dpkg --add-architecture i386
fi
scripts/install-packages.sh wine wine64 wine32:i386
