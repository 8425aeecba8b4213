#!/usr/bin/env bash
# Drives the real program in a private X server as a person would: readings through a
# pseudo-terminal, the menus by mouse and keyboard, the dialogs by typing.
# Usage: e2e_test.sh PATH-TO-PROGRAM
set -uo pipefail

program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"
start_private_work

start_test_display

# A serial pair: the program opens port 2 at one end, the test plays the charger at the other.
socat pty,raw,echo=0,link="$work/program-end" pty,raw,echo=0,link="$work/charger-end" \
  2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [[ -e $work/charger-end ]] && break; sleep 0.1; done

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime HOME=$work/home XDG_STATE_HOME=$work/state \
  XDG_DATA_HOME=$work/data
# Neither notifications nor a request to stay awake reach the desktop of whoever runs the test.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-bus
mkdir -p "$XDG_CONFIG_HOME/Trevanix Ampelon" "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Trevanix Ampelon/settings.ini"
cat >"$settings" <<INI
[General]
Window%20Left="0"
Window%20Top="0"
Serial%20Port%20Number="2"
[Ports]
COM2=$work/program-end
INI

setting() { sed -n "s/^$1=\"\\(.*\\)\"\$/\\1/p" "$settings"; }
region_digest() { import -window root -crop "$1" png:- 2>/dev/null | md5sum; }
wait_for_window() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -1; }
choose_menu_item() {  # choose_menu_item MENU-X ITEM-NUMBER: opens a menu, picks its nth item
  xdotool mousemove --window "$window" "$1" 8 click 1
  sleep 0.3
  for _ in $(seq "$2"); do xdotool key Down; done
  xdotool key Return
}
answer_dialog() {  # answer_dialog TITLE TEXT: types into the dialog that has just opened
  local dialog
  dialog=$(wait_for_window "^$1\$")
  xdotool windowfocus --sync "$dialog"
  xdotool key ctrl+a
  xdotool type --delay 20 "$2"
  xdotool key Return
  sleep 0.5
}

"$program" &
program_pid=$!
pids+=($program_pid)
window=$(wait_for_window '^Trevanix Ampelon$')
check "the window opens" test -n "$window"
xdotool windowfocus --sync "$window"
check "port 2 is opened on the pseudo-terminal" test "$(setting 'Serial%20Port%20Number')" = 2

# Readings appear: the current-value read-out changes within two ticks.
value_area="100x20+20+60"
before=$(region_digest "$value_area")
printf '1500\n1600\nabc\n007\n1700\r\n1800\n' >"$work/charger-end"
sleep 2.5
check "readings change the read-outs" test "$(region_digest "$value_area")" != "$before"

# File > Save Graph writes exactly the accepted readings, each with CR LF.
choose_menu_item 15 1
answer_dialog "Select Graph LOG File" "$work/saved.log"
check "Save Graph writes the accepted readings" \
  cmp -s "$work/saved.log" <(printf '1500\r\n1600\r\n1800\r\n')
check "the folder is remembered as Last Path" test "$(setting 'Last%20Path')" = "$work/"

# Saving over that log asks first: Return (No, the default) keeps it, Y replaces it.
printf '1900\n' >"$work/charger-end"
sleep 1.5
for answer in "Return 1500 1600 1800" "y 1500 1600 1800 1900"; do
  read -ra words <<<"$answer"
  set -- "${words[@]}"
  choose_menu_item 15 1
  answer_dialog "Select Graph LOG File" "$work/saved.log"
  question=$(wait_for_window '^Ampelon$')
  [[ -n $question ]] && { xdotool windowfocus --sync "$question"; xdotool key "$1"; sleep 0.5; }
  check "saving over a graph log asks; $1 leaves ${*:2}" \
    cmp -s "$work/saved.log" <(printf '%s\r\n' "${@:2}")
done

# File > Load Graph shows a saved charge: many light-green points on the chart.
for i in $(seq 0 999); do printf '%d\r\n' $((2000 + i / 10)); done >"$work/charge.log"
choose_menu_item 15 2
answer_dialog "Select Graph LOG File" "$work/charge.log"
sleep 2
green=$(import -window root -crop 400x450+60+88 png:- |
  convert - -fill black +opaque '#C0FFC0' -fill white -opaque '#C0FFC0' \
    -format '%[fx:round(mean*w*h)]' info:)
check "Load Graph shows the loaded charge ($green points)" test "${green:-0}" -gt 300

# Options > Change Voltage Range with .5 stores ".5".
choose_menu_item 50 3
answer_dialog "Ampelon" ".5"
check "Change Voltage Range stores .5" test "$(setting 'Range')" = ".5"

# Options > Change Serial Port Number with 13 says "Wrong entry!" in a message box.
choose_menu_item 50 4
input_box=$(wait_for_window '^Ampelon$')
answer_dialog "Ampelon" "13"
message_box=$(xdotool search --onlyvisible --name '^Ampelon$' | head -1)
check "Change Serial Port Number with 13 shows Wrong entry!" \
  test -n "$message_box" -a "$message_box" != "$input_box"
# A file handed over by a second copy waits while the message box is open, then loads.
mkdir -p "$work/handed"
printf '2100\r\n2200\r\n' >"$work/handed/handed.log"
timeout 15 "$program" "$work/handed/handed.log"
handed_status=$?
check "a second copy given a file hands it over (status $handed_status)" test "$handed_status" -eq 0
sleep 0.5
check "a handed-over file waits while a message box is open" test "$(setting 'Last%20Path')" = "$work/"
[[ -n $message_box ]] && { xdotool windowfocus --sync "$message_box"; xdotool key Return; }
for _ in $(seq 50); do [[ $(setting 'Last%20Path') == "$work/handed/" ]] && break; sleep 0.1; done
check "the handed-over file loads once the box is closed" \
  test "$(setting 'Last%20Path')" = "$work/handed/"
check "the port number stays 2" test "$(setting 'Serial%20Port%20Number')" = 2

# A second copy ends at once without a window.
second_start=$(date +%s%N)
timeout 5 "$program"
second_status=$?
second_ms=$(( ($(date +%s%N) - second_start) / 1000000 ))
check "a second copy ends at once (${second_ms} ms, status $second_status)" \
  test "$second_status" -eq 0 -a "$second_ms" -lt 3000
check "only one window" test "$(xdotool search --onlyvisible --name '^Trevanix Ampelon$' | wc -l)" -eq 1

# Closing the window stores its geometry (moved to 100, 120 pixels = 1500, 1800 twips).
xdotool windowmove --sync "$window" 100 120
sleep 0.3
/usr/bin/python3 "$here/close_window.py" "$window"
timeout 10 tail --pid="$program_pid" -f /dev/null
check "closing ends the program" test -z "$(ps -o pid= -p "$program_pid")"
check "closing stores the window's position" \
  test "$(setting 'Window%20Left')/$(setting 'Window%20Top')" = "1500/1800"

finish_checks
