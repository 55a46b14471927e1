#!/usr/bin/env bash
# Smoke test of a Tessik program on a real X server (Xvfb, the xcb platform): what offscreen tests
# cannot see, real window-system events and the paths of an installed program. Starts the program
# on a copy of a sample analysis, clicks into the event description, types a new one, presses
# Ctrl+S, then Ctrl+E there (which a text box on X11 would take for "end of line") and saves a
# picture through the file dialog, then Ctrl+Q; checks that the program ended, the file on disk
# holds the new text and the picture was written.
#   x11_smoke.sh TESSIK [SAMPLE]
# TESSIK is the program to run (build/bin/tessik, /usr/bin/tessik); SAMPLE an analysis to copy,
# by default the first sample of this repository. Needs Xvfb and xdotool.
set -euo pipefail

program=${1:?usage: x11_smoke.sh TESSIK [SAMPLE]}
sample=${2:-$(dirname "$0")/../../samples/Conveyor_stoppage.rca.xml}
wait_seconds=${SMOKE_TIMEOUT:-30}
new_description="Checked on a real X server"

command -v "$program" >/dev/null || { echo "x11 smoke: no program at $program" >&2; exit 1; }
[ -f "$sample" ] || { echo "x11 smoke: no sample analysis at $sample" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then kill "$program_pid"; fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid"; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "x11 smoke: FAIL: $*" >&2
  for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "--- ${log##*/}" >&2; cat "$log" >&2; }
  done
  exit 1
}

# Waits until the command succeeds, at most wait_seconds.
wait_for() {
  local deadline=$((SECONDS + wait_seconds))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# The program's per-user folder and settings stay inside the work folder.
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset AppData

analysis="$work/Smoke test.rca.xml"
cp "$sample" "$analysis"

# Xvfb chooses a free display and writes its number when it is ready. -noreset keeps it from
# resetting, and turning away a program that connects meanwhile, when its last client leaves.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

QT_QPA_PLATFORM=xcb "$program" "$analysis" >"$work/tessik.log" 2>&1 &
program_pid=$!

window=$(timeout "$wait_seconds" xdotool search --sync --onlyvisible --name '^Tessik: Smoke test$' | head -n1) ||
  fail "no window titled 'Tessik: Smoke test' appeared"
eval "$(xdotool getwindowgeometry --shell "$window")"

# The description box's place in the window: the command panel stands 10 pixels above the
# window's lower edge and is 133 high; inside it the description frame at (260, 44), inside that
# the box at (8, 20), 401 by 21.
box_x=$((8 + 260 + 8 + 200))
box_y=$((HEIGHT - 10 - 133 + 44 + 20 + 10))
xdotool mousemove --window "$window" "$box_x" "$box_y" click 1
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$new_description"
xdotool key --clearmodifiers ctrl+s

saved() { grep -q "<description>$new_description</description>" "$analysis"; }
wait_for saved || fail "Ctrl+S did not save the new description into the file"

picture="$work/picture.svg"
xdotool key --clearmodifiers ctrl+e
dialog=$(timeout "$wait_seconds" xdotool search --sync --onlyvisible --name 'Save a picture of the diagram' | head -n1) ||
  fail "Ctrl+E in the description box did not open the picture dialog"
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$picture"
xdotool key Return
drawn() { grep -q "<svg" "$picture" 2>/dev/null; }
wait_for drawn || fail "the picture was not written to $picture"
xdotool windowfocus --sync "$window"

xdotool key --clearmodifiers ctrl+q
ended() { ! kill -0 "$program_pid" 2>/dev/null; }
wait_for ended || fail "Ctrl+Q did not end the program"
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

# The rest of the file is as it was: only the description line changed.
changed=$(diff <(tr -d '\r' <"$sample") <(tr -d '\r' <"$analysis") | grep -c '^[<>]' || true)
[ "$changed" -eq 2 ] || fail "the save changed more than the description ($changed lines differ)"
[ -f "$XDG_DATA_HOME/Tessik/Tessik.hst" ] || fail "shut-down did not write the history file"

echo "x11 smoke: passed ($program, display $DISPLAY)"
