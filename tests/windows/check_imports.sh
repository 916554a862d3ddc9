#!/usr/bin/env bash
# Lists the functions an executable imports (with the cross toolchain's
# objdump) and fails for every one that the allow-list does not hold, and for
# a subsystem version newer than XP x64's 5.2 (XP refuses to load those).
#
# Usage: check_imports.sh OBJDUMP EXE ALLOW_LIST
set -euo pipefail
objdump=${1:?objdump} exe=${2:?executable} allowed=${3:?allow-list}

headers=$("$objdump" -p "$exe")
major=$(awk '/^MajorSubsystemVersion/ {print $2}' <<<"$headers")
minor=$(awk '/^MinorSubsystemVersion/ {print $2}' <<<"$headers")
if [ -z "$major" ] || ((major > 5 || (major == 5 && minor > 2))); then
  echo "FAILED: $exe asks for subsystem version $major.$minor; Windows XP loads up to 5.2"
  exit 1
fi
imports=$(echo "$headers" | awk '
  /DLL Name:/ { dll = tolower($3); next }
  /^$/ { dll = "" }
  dll && /^\t[0-9a-f]+\t/ { print dll "!" $NF }' | sort -u)
if [ -z "$imports" ]; then
  echo "FAILED: no import table read from $exe"
  exit 1
fi
unknown=$(comm -23 <(echo "$imports") <(grep -v '^#' "$allowed" | sort -u))
count=$(echo "$imports" | wc -l)
if [ -n "$unknown" ]; then
  echo "FAILED: $exe imports what the allow-list for Windows XP does not hold:"
  echo "$unknown"
  exit 1
fi
echo "$exe: all $count imports are on the allow-list"
