#!/usr/bin/env bash
# The real programs as a user meets them: duplane-remote serving a folder over a
# virtual cable, duplane on the same cable in an X server of its own, driven by
# keyboard and mouse through xdotool. Connect with F2, copy a directory tree to
# the Remote PC and another one from it, rename a file there, create a
# directory, move a file back by dragging with Shift held, delete a selection
# to the Recycle Bin, disconnect with F3 and close.
# Afterwards the folders are checked on disk; screenshots of each step are kept
# next to the test's output. A second, short scenario closes windows at the
# awkward moment: the main window while Connect waits (refused), then the busy
# window (its Cancel). A third one does a whole round from the keyboard alone.
# A window manager runs, as on a desktop.
#
# Every step waits for what the user would wait for (a window, a file, a
# change on the screen), never for a fixed time, because the window drops
# input that arrives while a long directory read disables it.
#
# Usage: end_to_end_test.sh BUILD_DIR
# With E2E_REMOTE set (a command: a Wine loader and duplane-remote.exe), that
# module serves the Remote PC's folder instead of the Linux one.
set -euo pipefail

build=${1:?build directory}
for tool in xvfb-run xdotool import; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
if [ -z "${E2E_INSIDE_X:-}" ]; then
  exec env E2E_INSIDE_X=1 xvfb-run -a -s '-screen 0 1280x800x24 -nolisten tcp' "$0" "$@"
fi

work=$(mktemp -d /tmp/duplane-e2e-XXXXXX)
shots="$build/tests/e2e-screenshots${E2E_REMOTE:+-windows}"
rm -rf "$shots"; mkdir -p "$shots"
remote_pid=""; ui_pid=""; wm_pid=""
cleanup() {
  [ -n "$ui_pid" ] && kill "$ui_pid" 2>/dev/null || true
  [ -n "$remote_pid" ] && kill "$remote_pid" 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  shot failure
  echo "--- duplane-remote log"; cat "$work/remote.log" || true
  echo "--- duplane log"; cat "$work/ui.log" || true
  exit 1
}
shot() { import -window root "$shots/$1.png" 2>/dev/null || true; }
# Waits up to $2 seconds (default 30) for the shell condition $1.
wait_for() {
  local condition=$1 limit=${2:-30} i
  for ((i = 0; i < limit * 20; i++)); do
    if eval "$condition"; then return 0; fi
    sleep 0.05
  done
  return 1
}
# xdotool hands each event to the X server in order; the window takes them in
# that order once it is idle again.
key() { xdotool key --delay 50 "$@"; }
type_text() { xdotool type --delay 30 "$1"; }
# Clicks at a point given relative to the main window.
click_at() { xdotool mousemove --sync $((win_x + $1)) $((win_y + $2)) click 1; }
window_titled() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
# A checksum of what the screen shows in a rectangle (x y w h, relative to the
# main window), to wait for it to change.
region() {
  import -window root -crop "$3x$4+$((win_x + $1))+$((win_y + $2))" -depth 8 rgb:- 2>/dev/null |
    md5sum
}
# True when the rectangle holds any dark pixel (text).
has_ink() {
  local min
  min=$(import -window root -crop "$3x$4+$((win_x + $1))+$((win_y + $2))" -colorspace gray \
    -format '%[fx:minima]' info: 2>/dev/null)
  awk -v m="${min:-1}" 'BEGIN { exit !(m < 0.5) }'
}
# Waits until the rectangle x y w h shows something other than $5.
wait_change() {
  local rect="$1 $2 $3 $4" before=$5
  wait_for '[ "$(region $rect)" != "$before" ]' 30
}
# The window is idle (its busy window, if any, is gone) and active.
main_active() {
  wait_for '[ -z "$(window_titled "^(Reading directory|Message|Delete|Synchronize.*)$")" ]' 60 &&
    wait_for '[ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]' 30
}
# Waits for the window titled $1 (a regular expression), which has the
# keyboard, and types the keys that follow.
answer() {
  local title=$1 box; shift
  wait_for '[ -n "$(window_titled "$title")" ]' 60 || fail "no window titled $title"
  box=$(window_titled "$title")
  wait_for '[ "$(xdotool getactivewindow 2>/dev/null)" = "$box" ]' 30 || fail "$title is not active"
  key "$@"
  wait_for '[ -z "$(window_titled "$title")" ]' 30 || fail "window $title stayed open"
}

# Starts the window on the cable $1 and waits until it is up and active; $2
# names it in a failure.
open_window() {
  QT_QPA_PLATFORM=xcb "$build/src/ui/duplane" --cable "$1" 2>"$work/ui.log" &
  ui_pid=$!
  wait_for '[ -n "$(window_titled "^Talveri.s Duplane 1.1$")" ]' 30 || fail "the $2 window did not open"
  win=$(window_titled "^Talveri.s Duplane 1.1$")
  main_active || fail "the $2 window is not active"
}

# The folders: a project on the Local PC; a file and a tree of old letters on
# the Remote PC.
mkdir -p "$work/local/PROJECT/SUB" "$work/remote/SAVED/LETTERS/1999" "$work/config/Talveri" \
  "$work/data"
printf 'first file\n' > "$work/local/PROJECT/ONE.TXT"
head -c 50000 /dev/urandom > "$work/local/PROJECT/SUB/DATA.BIN"
printf 'stays here\n' > "$work/local/NOTE.TXT"
printf 'come back\n' > "$work/remote/BACK.TXT"
printf 'Dear Sir,\n' > "$work/remote/SAVED/LETTERS/1999/MARCH.TXT"
head -c 30000 /dev/urandom > "$work/remote/SAVED/PHOTO.BMP"
: > "$work/remote/SAVED/EMPTY.DAT"
printf '[General]\nMainWidth=1000\nMainHeight=700\n' > "$work/config/Talveri/Duplane.conf"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" TMPDIR="$work"
local_dir_name=$(basename "$work")

openbox --sm-disable >"$work/wm.log" 2>&1 &
wm_pid=$!
wait_for 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' 30 ||
  fail "the window manager did not start"

read -r -a remote_command <<<"${E2E_REMOTE:-$build/src/remote/duplane-remote}"
"${remote_command[@]}" --cable "$work/cable" --drive "C=$work/remote" 2>"$work/remote.log" &
remote_pid=$!
open_window "$work/cable" first
# Where the window's inside starts on the screen (xdotool's own geometry
# counts the window manager's frame twice).
win_x=$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {print $4}')
win_y=$(xwininfo -id "$win" | awk '/Absolute upper-left Y/ {print $4}')
# Layout of the 1000 x 700 window: left pane x < 497, right pane x > 503.
left_tree=(300 300); right_tree=(800 300)
left_files_tab=(112 49); right_files_tab=(614 49)
row_y() { echo $((149 + 14 * $1)); }  # rows of both lists
left_row() { echo 10 $(($(row_y "$1") - 6)) 470 12; }   # x y w h of a row
right_row() { echo 510 $(($(row_y "$1") - 6)) 470 12; }
# Qt joins the keys typed into a view within its key-input interval (0.4 s)
# into one search; the next name must start a search of its own. This waits
# for the toolkit's clock, not for the program.
new_search() { sleep 0.5; }

# 1. Connect: the busy window comes and goes, the Remote tree shows C:\.
click_at "${left_tree[@]}"
key F2
wait_for 'grep -q "connected" "$work/remote.log"' 30 || fail "F2 did not connect"
main_active || fail "the window did not come back after Connect"
wait_for 'has_ink 545 64 60 18' 30 || fail "no Remote drive shown"
shot 01-connected

# 2. Local tree down to the project's folder, by keyboard (Connect left the
#    focus on the Remote pane); Remote tree on C:.
click_at "${left_tree[@]}"
key Right; type_text tmp; new_search
key Right; type_text "$local_dir_name"; new_search
key Right; type_text local
click_at "${right_tree[@]}"
click_at "${left_files_tab[@]}"
click_at "${right_files_tab[@]}"
wait_for 'has_ink $(left_row 3) && has_ink $(right_row 0)' 30 || fail "the lists were not read"
main_active || fail "the window is busy"
shot 02-files

# 3. Copy the directory PROJECT (row 2, after "<parent>" and "<root>") to the
#    Remote PC through the "Local PC" menu.
click_at 40 "$(row_y 2)"
key alt+l c
answer "^Copy these files from Local PC to Remote PC\?$" Return
shot 04-copy-summary
answer "^Information$" Return
cmp "$work/local/PROJECT/SUB/DATA.BIN" "$work/remote/PROJECT/SUB/DATA.BIN" \
  || fail "the copied file differs"
main_active || fail "the window did not come back after the copy"

# 4. The other way: copy the tree SAVED from the Remote PC (its list now:
#    PROJECT, SAVED, BACK.TXT) to the Local PC through the "Remote PC" menu.
click_at 650 "$(row_y 1)"
key alt+r c
answer "^Copy these files from Remote PC to Local PC\?$" Return
answer "^Information$" Return
diff -r "$work/remote/SAVED" "$work/local/SAVED" >/dev/null || fail "the tree copied back differs"
[ -f "$work/local/SAVED/EMPTY.DAT" ] || fail "the empty file was not copied back"
main_active || fail "the window did not come back after the copy back"
shot 04-copied-back

# 5. Rename BACK.TXT on the Remote PC.
click_at 650 "$(row_y 2)"
key alt+r r
before=$(region $(right_row 2))
answer "^Rename Function$" ctrl+a R E T U R N period T X T Return
[ -f "$work/remote/RETURN.TXT" ] && [ ! -e "$work/remote/BACK.TXT" ] || fail "rename"
wait_change $(right_row 2) "$before" || fail "the list did not show the new name"
main_active || fail "the window did not come back after the rename"
shot 05-renamed

# 6. Create a directory there.
before=$(region $(right_row 0))
key alt+r t
answer "^Create Directory$" N E W D I R Return
[ -d "$work/remote/NEWDIR" ] || fail "create directory"
wait_change $(right_row 0) "$before" || fail "the list did not show the new directory"
main_active || fail "the window did not come back after Create Dir"
shot 06-created

# 7. Drag RETURN.TXT (now NEWDIR, PROJECT, SAVED, RETURN.TXT) back to the
#    Local list with Shift held at the drop: a move.
xdotool mousemove --sync $((win_x + 660)) $((win_y + $(row_y 3)))
xdotool mousedown 1
for step in 600 500 400 300 250; do xdotool mousemove --sync $((win_x + step)) $((win_y + 400)); done
xdotool keydown shift
xdotool mouseup 1
xdotool keyup shift
answer "^Move these files from Remote PC to Local PC\?$" Return
answer "^Information$" Return
[ -f "$work/local/RETURN.TXT" ] && [ ! -e "$work/remote/RETURN.TXT" ] || fail "move by drag"
grep -q 'come back' "$work/local/RETURN.TXT" || fail "moved file's content"
main_active || fail "the window did not come back after the move"

# 8. Delete the copied PROJECT tree on the Remote PC (row 1). The dialog opens
#    with the focus on Cancel: Shift+Tab reaches Ok.
click_at 650 "$(row_y 1)"
key alt+r e
answer "^Delete these files on Remote PC\?$" shift+Tab Return
answer "^Information$" Return
[ ! -e "$work/remote/PROJECT" ] || fail "delete"
# Into the Recycle Bin, from where it can be restored (Wine's Recycle Bin is
# the same Linux trash under XDG_DATA_HOME that GIO uses).
[ -n "$(find "$work/data" -name DATA.BIN)" ] || fail "the deleted files are not in the Recycle Bin"
[ -d "$work/local/PROJECT/SUB" ] || fail "the delete reached the Local PC"
main_active || fail "the window did not come back after the delete"

# 9. Disconnect and close through the Link menu.
key F3
wait_for 'grep -q "disconnected" "$work/remote.log"' 30 || fail "F3 did not disconnect"
main_active || fail "the window did not come back after Disconnect"
shot 09-disconnected
key alt+k x
wait_for '! kill -0 $ui_pid 2>/dev/null' 30 || fail "the window did not close"
ui_pid=""
grep -q '^LPTPort=1' "$work/config/Talveri/Duplane.conf" || fail "settings not saved at close"

# 10. Closing at the awkward moment: Connect with nobody on the other end. The
#    main window's close is refused while the wait runs; closing the busy
#    window is its Cancel; then the window closes as usual and the program
#    ends, leaving nothing behind.
open_window "$work/silent-cable" second
key F2
wait_for '[ -n "$(window_titled "^Synchronize with Remote Module$")" ]' 30 || fail "no busy window"
busy=$(window_titled "^Synchronize with Remote Module$")
# The window manager's close of the (disabled) main window, then of the busy
# window: the window takes them in that order.
xdotool windowactivate --sync "$win"
key alt+F4
xdotool windowactivate --sync "$busy"
key alt+F4
wait_for '[ -z "$(window_titled "^Synchronize with Remote Module$")" ]' 30 ||
  fail "closing the busy window did not cancel"
shot 10-close-refused
kill -0 "$ui_pid" 2>/dev/null || fail "closing during Connect ended the program"
[ -n "$(window_titled "^Talveri.s Duplane 1.1$")" ] || fail "the main window went during Connect"
main_active || fail "the window did not come back after the cancelled Connect"
key alt+F4
wait_for '! kill -0 $ui_pid 2>/dev/null' 30 || fail "the window did not close after Connect"
ui_pid=""

# 11. The whole round without the mouse, in a fresh start: F2, a typed path
#     on each side, Tab between the lists, + with a pattern, F5 Copy, F6
#     Move, Shift+F6 Rename, F7 Create Dir, into it with Enter and out with
#     Alt+Up, in and out again with Ctrl+PgUp, Delete, F3, and the window
#     closed from the Link menu.
mkdir -p "$work/kb-local/TEXTS" "$work/kb-remote/INBOX" "$work/kb-config/Talveri"
printf 'one\n' > "$work/kb-local/TEXTS/ONE.TXT"
printf 'two\n' > "$work/kb-local/TEXTS/TWO.TXT"
printf 'picture\n' > "$work/kb-local/TEXTS/PIC.JPG"
printf 'moving\n' > "$work/kb-local/TEXTS/MOVE.DAT"
printf '[General]\nMainWidth=1000\nMainHeight=700\n' > "$work/kb-config/Talveri/Duplane.conf"
kill "$remote_pid" 2>/dev/null || true
wait "$remote_pid" 2>/dev/null || true
"${remote_command[@]}" --cable "$work/kb-cable" --drive "C=$work/kb-remote" 2>"$work/remote.log" &
remote_pid=$!
XDG_CONFIG_HOME="$work/kb-config" open_window "$work/kb-cable" third
key F2
wait_for 'grep -q "connected" "$work/remote.log"' 30 || fail "F2 did not connect (keyboard)"
main_active || fail "the window did not come back after Connect (keyboard)"
# Connect leaves the focus on the Remote pane: its path, typed, then its files.
key ctrl+l; type_text 'C:\INBOX'; key Return
main_active || fail "the Remote tree did not follow the typed path"
key ctrl+Tab
main_active || fail "the Remote list was not read"
# Tab walks on to the Local pane's page tabs; Right shows its files.
key Tab Right ctrl+l
type_text "C:${work//\//\\}\\kb-local\\TEXTS"; key Return
main_active || fail "the Local list was not read"
shot 11-keyboard-both
# + selects by pattern; F5 copies the two texts to the Remote PC.
key plus; answer "^Select Files$" ctrl+a asterisk period T X T Return
key F5
answer "^Copy these files from Local PC to Remote PC\?$" Return
answer "^Information$" Return
cmp "$work/kb-local/TEXTS/TWO.TXT" "$work/kb-remote/INBOX/TWO.TXT" || fail "keyboard copy"
[ ! -e "$work/kb-remote/INBOX/PIC.JPG" ] || fail "the pattern selected too much"
main_active || fail "the window did not come back after the keyboard copy"
# - deselects them again, + picks MOVE.DAT alone, F6 moves it.
key minus; answer "^Deselect Files$" ctrl+a asterisk Return
key plus; answer "^Select Files$" ctrl+a M O V E period D A T Return
key F6
answer "^Move these files from Local PC to Remote PC\?$" Return
answer "^Information$" Return
[ -f "$work/kb-remote/INBOX/MOVE.DAT" ] && [ ! -e "$work/kb-local/TEXTS/MOVE.DAT" ] ||
  fail "keyboard move"
main_active || fail "the window did not come back after the keyboard move"
# Tab to the Remote list; rename ONE.TXT there, create a directory, go into
# it and back out, once with each key (the cursor comes back onto it), and
# delete it.
key Tab
key plus; answer "^Select Files$" ctrl+a O N E period T X T Return
key shift+F6
answer "^Rename Function$" ctrl+a F I R S T period T X T Return
[ -f "$work/kb-remote/INBOX/FIRST.TXT" ] && [ ! -e "$work/kb-remote/INBOX/ONE.TXT" ] ||
  fail "keyboard rename"
main_active || fail "the window did not come back after the keyboard rename"
key F7
answer "^Create Directory$" K B D I R Return
[ -d "$work/kb-remote/INBOX/KBDIR" ] || fail "keyboard create directory"
main_active || fail "the window did not come back after the keyboard Create Dir"
key Return
main_active || fail "the window did not come back after going into KBDIR"
key alt+Up
main_active || fail "the window did not come back after going in and out"
key Return
main_active || fail "the window did not come back after going into KBDIR again"
key ctrl+Prior
main_active || fail "the window did not come back after going in and out again"
shot 11-keyboard-back-out
key Delete
answer "^Delete these files on Remote PC\?$" shift+Tab Return
answer "^Information$" Return
[ ! -e "$work/kb-remote/INBOX/KBDIR" ] || fail "keyboard delete"
[ -f "$work/kb-remote/INBOX/FIRST.TXT" ] || fail "the keyboard delete took more than the directory"
main_active || fail "the window did not come back after the keyboard delete"
key F3
wait_for 'grep -q "disconnected" "$work/remote.log"' 30 || fail "F3 did not disconnect (keyboard)"
main_active || fail "the window did not come back after Disconnect (keyboard)"
key alt+k x
wait_for '! kill -0 $ui_pid 2>/dev/null' 30 || fail "the third window did not close"
ui_pid=""
grep -q '^LocalDir=' "$work/kb-config/Talveri/Duplane.conf" || fail "the Local directory was not remembered"

echo "1 passed, 0 failed"
