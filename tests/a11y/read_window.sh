#!/usr/bin/env bash
# Reads the real program's window as a screen reader does: Tessik runs on a small analysis under
# Xvfb with its own session bus and the desktop's accessibility bus (AT-SPI), and read_window.py,
# a client of that bus, reads the window's tree and drives the program through it.
#   read_window.sh TESSIK
# Needs Xvfb, xdotool, dbus-run-session, at-spi2-core and Debian's python3 with pyatspi.
set -euo pipefail

program=${1:?usage: read_window.sh TESSIK}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid"; rm -rf "$work"' EXIT

# The program's per-user folder and settings stay inside the work folder.
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Three blocks in a chain: an impact, its cause, and a cause of that with an empty caption.
block() { printf '  <block>\r\n    <id> %s </id>\r\n    <active>-1 </active>\r\n    <parent> %s </parent>\r\n    <x> %s </x>\r\n    <y> 0 </y>\r\n    <text>%s</text>\r\n    <notes>%s</notes>\r\n    <category>%s</category>\r\n  </block>\r\n' "$@"; }
{
  printf '<?xml version="1.0" encoding="ISO-8859-1"?>\r\n<analysis>\r\n  <description>Read aloud</description>\r\n'
  printf '  <email>operator</email>\r\n  <office>Plant North</office>\r\n'
  block 1 0 0 "Conveyor stopped" "" ""
  block 2 1 15 "Sensor data missing" "Technology" "Information"
  block 3 2 30 "" "Science and human factors" "Motives"
  printf '</analysis>\r\n'
} >"$work/Read aloud.rca.xml"

# -noreset: without it the server resets whenever its last client leaves (here the xdotool probe),
# and a program connecting during that reset is turned away.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "read_window: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null || { echo "read_window: Xvfb does not answer on $DISPLAY" >&2; exit 1; }
unset AppData

# The session bus starts the accessibility bus when the client first asks for it.
dbus-run-session -- /usr/bin/python3 "$here/read_window.py" "$program" "$work/Read aloud.rca.xml"
