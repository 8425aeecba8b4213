#!/usr/bin/env bash
# A charge recorded from the simulated charger and saved with File > Save Graph is kept in the
# charge library: `ampelon-viewer --history --json ""` finds it, with its figures, among the
# charges of no named battery. Everything lives in private folders.
# Usage: history_e2e_test.sh PATH-TO-AMPELON PATH-TO-CHARGER PATH-TO-VIEWER
set -uo pipefail

program=$(realpath "$1")
charger=$(realpath "$2")
viewer=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"
start_private_work

start_test_display

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime HOME=$work/home \
  XDG_STATE_HOME=$work/state XDG_DATA_HOME=$work/data
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus
mkdir -p "$XDG_CONFIG_HOME/Trevanix Ampelon" "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[General]\nSerial%%20Port%%20Number="2"\n[Ports]\nCOM2=%s\n' "$work/charger" \
  >"$XDG_CONFIG_HOME/Trevanix Ampelon/settings.ini"

# The charge of 2 h 45 min in 16.5 s; Ampelon, started at once, misses the first few seconds (the
# charger drops what nobody reads), never the peak near the end. Its times are the real ones,
# seconds: no end is found in them, the peak is.
"$charger" --no-settings --link "$work/charger" --interval 10 --speed 600 >"$work/charger.out" &
charger_pid=$!
pids+=($charger_pid)
for _ in $(seq 50); do grep -q "linked from" "$work/charger.out" && break; sleep 0.1; done

"$program" &
pids+=($!)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Trevanix Ampelon$' | head -1)
check "the window opens" test -n "$window"
timeout 30 tail --pid="$charger_pid" -f /dev/null
sleep 1

# File > Save Graph.
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 15 8 click 1
sleep 0.3
xdotool key Down Return
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Select Graph LOG File$' | head -1)
xdotool windowfocus --sync "$dialog" key ctrl+a type --delay 20 "$work/charge.log"
xdotool key Return

# Ampelon registers in the background: wait for the charge to be listed.
for _ in $(seq 100); do
  read -r peak to_peak day < <("$viewer" --history --json "" 2>/dev/null | /usr/bin/python3 -c '
import json, sys
for c in json.load(sys.stdin)["charges"]:
    if c["path"] == sys.argv[1]: print(c["peak_volts"], c["time_to_peak_seconds"], c["recorded_at"][:10])
' "$work/charge.log" 2>/dev/null)
  [[ -n $peak ]] && break
  sleep 0.2
done
within() { awk "BEGIN { exit !($1 >= $2 && $1 <= $3) }"; }
check "the saved charge is in the library" test -n "$peak"
check "its peak is the curve's 1.45 V ($peak V)" within "${peak:-0}" 1.43 1.47
check "it peaked near its end (${to_peak} s)" within "${to_peak:-0}" 6 18
check "its date is today's ($day)" test "$day" = "$(date -u +%F)"

finish_checks
