#!/usr/bin/env bash
# Drives the Windows program under Wine in a private X server, as a Windows user would: the
# portable folder from the zip finds its charger on COM7 at first start, shows its readings and
# saves them; then the installer installs it silently for everyone and for this account alone,
# the installed program starts, and the uninstaller removes it again.
# Usage: program_test.sh PACKAGE-FOLDER   (the folder scripts/package-windows writes)
set -uo pipefail

packages=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/ampelon-windows-program.XXXXXX")

export WINEPREFIX=$work/prefix
source "$here/../../scripts/wine-ports.sh"
source "$here/../../scripts/private-display.sh"

cleanup() {
  wineserver -k >/dev/null 2>&1
  end_started
  rm -rf "$work"
}
trap cleanup EXIT

source "$here/../e2e/checks.sh"

# The Windows name of a path on this machine (Wine's drive Z: is the root folder).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# A value under HKCU\Software\Trevanix Ampelon, or nothing.
setting() {
  wine reg query 'HKCU\Software\Trevanix Ampelon' /v "$1" 2>/dev/null |
    tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
wait_for_window() { timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -1; }
# The light-green pixels of the readings in a window's picture.
plot_pixels() {
  import -window "$1" png:- 2>/dev/null |
    convert - -fill black +opaque '#C0FFC0' -fill white -opaque '#C0FFC0' \
      -format '%[fx:round(mean*w*h)]' info:
}
program_ends() {  # program_ends PID SECONDS
  timeout "$2" tail --pid="$1" -f /dev/null
  [[ -z $(ps -o pid= -p "$1") ]]
}

start_private_display 1280x1024 || { echo "FAILED: Xvfb did not start"; exit 1; }

# The serial cable: the program reads one end on COM7, the test plays the charger at the other.
socat pty,raw,echo=0,link="$work/program-end" pty,raw,echo=0,link="$work/charger-end" \
  </dev/null >/dev/null 2>&1 &
started_pids+=($!)
for _ in $(seq 50); do [[ -e $work/charger-end ]] && break; sleep 0.1; done

# Every COM port the first start scans (12 down to 1) is mapped: COM7 to the cable, the others to
# a path that does not exist.
echo "== Creating a Wine prefix in $WINEPREFIX"
start_wine_with_ports "$work/missing" 7="$work/program-end"
check "COM7 is wired to the cable" test "$(readlink "$WINEPREFIX/dosdevices/com7")" = "$work/program-end"

# has_notices FOLDER: the licence, the third-party notices and the licence texts they name.
has_notices() {
  local text
  for text in LICENSE.txt THIRD-PARTY-NOTICES.txt LICENSES/LGPL-3.0.txt LICENSES/GPL-3.0.txt \
    LICENSES/Qt-copyright.txt LICENSES/GCC-runtime-copyright.txt LICENSES/MinGW-w64-copyright.txt; do
    [[ -s $1/$text ]] || { echo "$1 lacks $text"; return 1; }
  done
  grep -q 'scripts/build-qt-windows' "$1/THIRD-PARTY-NOTICES.txt"
}

# --- The portable program, unpacked from the zip.
zip=$(ls "$packages"/Ampelon-*-win64.zip | head -1)
unzip -q "$zip" -d "$work/portable"
program=$(ls "$work"/portable/*/ampelon.exe | head -1)
check "the zip holds ampelon.exe" test -f "$program"
check "the zip holds the licence and the third-party notices" has_notices "$(dirname "$program")"

# Before the program starts, a squatter takes the pipe name anyone can work out.
x86_64-w64-mingw32-gcc -o "$work/pipe_squatter.exe" "$here/pipe_squatter.c"
wine "$work/pipe_squatter.exe" "$(windows_path "$work/squatted.txt")" </dev/null >/dev/null 2>&1 &
started_pids+=($!)
for _ in $(seq 100); do [[ -e $work/squatted.txt ]] && break; sleep 0.1; done

wine "$program" </dev/null >"$work/portable.out" 2>&1 &
program_pid=$!
started_pids+=($program_pid)
window=$(wait_for_window '^Trevanix Ampelon$')
check "the window opens" test -n "$window"
check "the first start finds the charger on COM7" test "$(setting 'Serial Port Number')" = 7
local_app_data=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -1)
profile=${local_app_data%/AppData/Local}
check "the instance lock is kept out of the user's profile folder" \
  test -e "$profile/AppData/Local/Trevanix Ampelon/ampelon.lock" -a ! -e "$profile/ampelon.lock"

# Readings reach the chart: light-green points appear.
before=$(plot_pixels "$window")
for i in $(seq 0 399); do printf '%d\n' $((2000 + i)); done >"$work/readings.txt"
cat "$work/readings.txt" >"$work/charger-end"
sleep 3
after=$(plot_pixels "$window")
check "readings reach the chart ($before -> $after points)" test "${after:-0}" -gt $((before + 100))
# AMPELON_TEST_SHOTS names a folder that keeps screenshots for a person to look at.
[[ -n ${AMPELON_TEST_SHOTS:-} ]] && import -window root "$AMPELON_TEST_SHOTS/portable.png"

# File > Save Graph, by keyboard: Alt opens the menu bar, Return the File menu, Return its first
# command; the file dialog takes a Windows path.
xdotool windowfocus --sync "$window"
xdotool key alt
sleep 0.3
xdotool key Return
sleep 0.3
xdotool key Return
dialog=$(wait_for_window '^Select Graph LOG File$')
check "File > Save Graph asks for a file" test -n "$dialog"
if [[ -n $dialog ]]; then
  xdotool windowfocus --sync "$dialog"
  xdotool key ctrl+a
  xdotool type --delay 20 "$(windows_path "$work/saved.log")"
  xdotool key Return
  for _ in $(seq 50); do [[ -s $work/saved.log ]] && break; sleep 0.1; done
  sleep 0.5
fi
check "the saved graph log holds the 400 readings, CR LF" \
  cmp -s "$work/saved.log" <(sed 's/$/\r/' "$work/readings.txt")

# A second copy ends at once, without a second window.
start=$(date +%s%N)
timeout 20 wine "$program" </dev/null >/dev/null 2>&1
status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
check "a second copy ends at once (${elapsed_ms} ms, status $status)" \
  test "$status" -eq 0 -a "$elapsed_ms" -lt 10000
check "only one window" \
  test "$(xdotool search --onlyvisible --name '^Trevanix Ampelon$' | wc -l)" -eq 1

# A second copy given a graph log hands it over a pipe of this user's session, not the squatter's:
# the running copy loads it and makes its folder the last one used.
mkdir -p "$work/handed"
printf '1\r\n2\r\n' >"$work/handed/run.log"
timeout 20 wine "$program" "$(windows_path "$work/handed/run.log")" </dev/null >/dev/null 2>&1
status=$?
check "a second copy given a file ends (status $status)" test "$status" -eq 0
for _ in $(seq 50); do [[ $(setting 'Last Path') == *'\handed\' ]] && break; sleep 0.2; done
check "the running copy loads the file handed over ($(setting 'Last Path'))" \
  test "$(setting 'Last Path')" = "$(windows_path "$work/handed")\\"
check "the squatter's pipe received nothing" test ! -s "$work/squatted.txt"

# Closing the window stores its geometry in the registry, in twips.
/usr/bin/python3 "$here/../e2e/close_window.py" "$window"
check "closing ends the program" program_ends "$program_pid" 20
for name in 'Window Left' 'Window Top' 'Window Width' 'Window Height'; do
  value=$(setting "$name")
  check "closing stores $name ($value)" test -n "$value" -a -z "${value//[0-9.-]/}"
done
check "the window's width is stored in twips" test "$(setting 'Window Width')" -ge 3000

# --- Ampelon Viewer, from the same folder: it starts, opens the saved graph log and exports it.
viewer=$(dirname "$program")/ampelon-viewer.exe
check "the zip holds ampelon-viewer.exe" test -f "$viewer"
wine "$viewer" "$(windows_path "$work/saved.log")" </dev/null >"$work/viewer.out" 2>&1 &
viewer_pid=$!
started_pids+=($viewer_pid)
window=$(wait_for_window '^saved.log — Ampelon Viewer$')
check "the viewer starts and opens a graph log" test -n "$window"
[[ -n ${AMPELON_TEST_SHOTS:-} ]] && import -window root "$AMPELON_TEST_SHOTS/viewer.png"
[[ -n $window ]] && /usr/bin/python3 "$here/../e2e/close_window.py" "$window"
check "the viewer ends when closed" program_ends "$viewer_pid" 20
timeout 60 wine "$viewer" --export-csv "$(windows_path "$work/saved.csv")" \
  "$(windows_path "$work/saved.log")" </dev/null >/dev/null 2>&1
status=$?
# Save Graph wrote the readings' times beside the log: the seconds are theirs, whatever they are.
check "the viewer exports the graph log as CSV (status $status)" \
  test "$(head -2 "$work/saved.csv" 2>/dev/null | cut -d, -f1,3,4)" = $'sample,count,volts\r\n1,2000,1.2210\r' \
  -a "$(wc -l <"$work/saved.csv" 2>/dev/null)" -eq 401

# --- The installer, silent. Wine's user is an administrator: /S installs for everyone,
# /S /CurrentUser for this account alone. Each time the installed program starts, and the
# uninstaller, run as Windows runs it from the registration, removes the program, its Start-menu
# entry and its registration.
installer=$(ls "$packages"/Ampelon-*-win64-setup.exe | head -1)
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Ampelon'
# registered ROOT VALUE: a value of the uninstaller's registration under ROOT (HKLM or HKCU).
registered() {
  wine reg query "$1\\$uninstall_key" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}
# install_and_remove MODE ROOT FOLDER START-MENU [INSTALLER OPTION]
install_and_remove() {
  local mode=$1 root=$2 folder=$3 start_menu=$4
  shift 4
  timeout 120 wine "$installer" /S "$@" </dev/null >/dev/null 2>&1
  check "$mode: ampelon.exe is installed in ${folder#"$WINEPREFIX/"}" test -f "$folder/ampelon.exe"
  check "$mode: the licence and the notices are installed beside it" has_notices "$folder"
  check "$mode: the Start-menu entry" test -f "$start_menu/Ampelon.lnk"
  check "$mode: the viewer's Start-menu entry" test -f "$start_menu/Ampelon Viewer.lnk"
  check "$mode: the uninstaller is registered under $root" test -n "$(registered "$root" UninstallString)"

  wine "$folder/ampelon.exe" </dev/null >/dev/null 2>&1 &
  local pid=$!
  started_pids+=($pid)
  local window
  window=$(wait_for_window '^Trevanix Ampelon$')
  check "$mode: the installed program starts" test -n "$window"
  [[ -n $window ]] && /usr/bin/python3 "$here/../e2e/close_window.py" "$window"
  check "$mode: the installed program ends when closed" program_ends "$pid" 20

  # The uninstaller copies itself away and returns at once; the copy removes the program.
  local uninstall
  uninstall=$(registered "$root" QuietUninstallString)
  eval "timeout 120 wine $uninstall" </dev/null >/dev/null 2>&1
  for _ in $(seq 100); do [[ ! -e $folder ]] && break; sleep 0.2; done
  check "$mode: the uninstaller removes the program" test ! -e "$folder"
  check "$mode: the uninstaller removes the Start-menu entry" test ! -e "$start_menu"
  check "$mode: the uninstaller removes its registration" test -z "$(registered "$root" UninstallString)"
}
install_and_remove "for everyone" HKLM "$WINEPREFIX/drive_c/Program Files/Ampelon" \
  "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ampelon"
install_and_remove "for this account" HKCU "$local_app_data/Programs/Ampelon" \
  "$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Ampelon" /CurrentUser

finish_checks
