#!/usr/bin/env bash
# Drives ampelon-viewer as a person and a script would: the export command line, then the window
# in a private X server (zoom by wheel and rectangle, markers, a reference charge, exports through
# the menus and dialogs), then following a journal that grows, is rewritten and is removed.
# What the window shows is checked through its own exports: the CSV of the range in view and the
# PNG of the plot as shown.
# Usage: viewer_e2e_test.sh PATH-TO-AMPELON-VIEWER
set -uo pipefail

program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"
start_private_work

# The journal's folder has a name that is no UTF-8 (a byte \377), as Linux allows.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime HOME=$work/home XDG_STATE_HOME=$work/st$'\377'ate \
  XDG_DATA_HOME=$work/data
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" "$work/out"
chmod 700 "$XDG_RUNTIME_DIR"
journal_folder="$XDG_STATE_HOME/Trevanix Ampelon"

# A charge of N readings rising from COUNT, one a second, with its times when TIMES is given.
write_charge() {  # write_charge FILE N COUNT [TIMES-FILE]
  awk -v n="$2" -v c="$3" -v t="${4:-}" 'BEGIN {
    for (i = 0; i < n; i++) {
      printf "%d\r\n", c + 300 * (1 - exp(-i / 1500)) > ARGV[1]
      if (t != "") printf "%.3f\r\n", i + 0.1 > t
    }
  }' "$1"
}
rows() { echo $(($(wc -l <"$1") - 1)); }
# Pixels of one colour (#RRGGBB) in a picture.
pixels_of() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:
}

write_charge "$work/charge.log" 5000 1800 "$work/charge.times"
write_charge "$work/reference.log" 4000 1750
printf '\0\r\n1\r\n' >"$work/binary.log"

# --- The command line, with no display.
unset DISPLAY
check "--help prints the usage" bash -c "'$program' --help | grep -q -- --export-csv"
check "--version prints the version" bash -c "'$program' --version | grep -q '^Ampelon Viewer '"
"$program" --export-csv "$work/out/charge.csv" "$work/charge.log"
check "--export-csv exits with 0" test $? -eq 0
check "the CSV has the header, a row per reading and CR LF" \
  test "$(head -2 "$work/out/charge.csv")" = $'sample,seconds,count,volts\r\n1,0.100,1800,1.0989\r'
check "the CSV has 5000 rows" test "$(rows "$work/out/charge.csv")" -eq 5000
"$program" --export-csv "$work/out/again.csv" "$work/out/charge.csv"
check "an export opens as what it is: exported again, it is the same file" \
  cmp -s "$work/out/charge.csv" "$work/out/again.csv"
printf '1.2345\r\n1.2350\r\n' >"$work/volts.log"
errors=$("$program" --export-csv "$work/out/volts.csv" "$work/volts.log" 2>&1)
check "a log of volts is no graph log: it exits with 1" test $? -eq 1
check "... naming the line" grep -q "volts.log is not a graph log: line 1 holds a decimal point" <<<"$errors"
bad=$work/bad$'\377'
cp "$work/charge.log" "$bad.log" && cp "$work/charge.times" "$bad.times"
"$program" --export-csv "$work/out/bad.csv" "$bad.log"
check "a file whose name is no UTF-8 is read, with its times" \
  test "$(sed -n 2p "$work/out/bad.csv")" = $'1,0.100,1800,1.0989\r'
errors=$("$program" --export-csv "$bad.csv" "$work/charge.log" 2>&1)
check "... but an export is not written under such a name" \
  env LC_ALL=C grep -q "could not write .*: A file name that is not UTF-8 text" <<<"$errors"
"$program" --export-png "$work/out/charge.png" --size 640x360 "$work/charge.log"
check "--export-png writes a picture of the asked size" \
  test "$(identify -format '%wx%h' "$work/out/charge.png" 2>/dev/null)" = 640x360
check "the picture shows the readings" test "$(pixels_of "$work/out/charge.png" '#C0FFC0')" -gt 300
LC_ALL=C "$program" --export-report "$work/out/charge.pdf" "$work/charge.log"
check "--export-report exits with 0" test $? -eq 0
check "... with one A4 page where the locale measures in metric units" \
  bash -c "pdfinfo '$work/out/charge.pdf' | grep -q '^Pages: *1\$' &&
           pdfinfo '$work/out/charge.pdf' | grep -q '^Page size:.*(A4)'"
check "... the figures and the empty details on it" \
  bash -c "pdftotext '$work/out/charge.pdf' - | grep -q '^Start: 1.0989 V' &&
           pdftotext '$work/out/charge.pdf' - | grep -q '^No battery details given'"
LC_ALL=en_US.UTF-8 "$program" --export-report "$work/out/letter.pdf" "$work/charge.log"
check "... on Letter where it measures in US units" \
  bash -c "pdfinfo '$work/out/letter.pdf' | grep -q '^Page size:.*(letter)'"
summary=$("$program" --summary --json "$work/charge.log")
check "--summary --json exits with 0" test $? -eq 0
check "... with one JSON object: the charge, still rising" python3 -c '
import json, sys
summary = json.loads(sys.argv[1])
charge = summary["charges"][0]
assert list(summary) == ["readings", "times_known", "charges"], summary
assert summary["readings"] == 5000 and summary["times_known"] is True, summary
assert len(charge) == 13 and charge["end"] == "rising" and charge["end_sample"] is None, charge
assert (charge["first_sample"], charge["last_sample"]) == (1, 5000), charge
assert charge["duration_seconds"] == 4999.0 and charge["slope_mv_per_min"] > 0, charge
' "$summary"
"$program" --summary "$work/binary.log" 2>/dev/null
check "--summary of a file that is no graph log exits with 1" test $? -eq 1
errors=$("$program" --export-csv "$work/out/b.csv" "$work/binary.log" 2>&1)
check "a file that is no graph log exits with 1" test $? -eq 1
check "... with Load Graph's reason" grep -q "is not a graph log: it holds binary data" <<<"$errors"
# A write that fails part-way, without filling a disk: beyond the process's file size limit
# (8 KiB here) the system refuses with EFBIG. The file written before must stay whole.
printf 'old\r\n' >"$work/out/kept.csv"
errors=$(ulimit -f 8 && trap '' XFSZ && "$program" --export-csv "$work/out/kept.csv" "$work/charge.log" 2>&1)
check "an export that cannot be written exits with 1" test $? -eq 1
check "... with the system's reason" grep -q "could not write .*kept.csv: File too large" <<<"$errors"
check "... and leaves the earlier file whole" test "$(cat "$work/out/kept.csv")" = $'old\r'
check "... and no half-written file beside it" test "$(ls "$work/out" | grep -c kept)" -eq 1
# A file the user made read-only is refused as Ampelon's Save Graph refuses it, even for root.
printf 'old\r\n' >"$work/out/read-only.csv"
chmod a-w "$work/out/read-only.csv"
errors=$("$program" --export-csv "$work/out/read-only.csv" "$work/charge.log" 2>&1)
check "an export over a read-only file exits with 1" test $? -eq 1
check "... saying so" grep -q "could not write .*read-only.csv: The file is read-only" <<<"$errors"
check "... and leaves it whole" test "$(cat "$work/out/read-only.csv")" = $'old\r'
errors=$("$program" --export-report "$work/out/read-only.csv" "$work/charge.log" 2>&1)
check "... and so is a report over it" \
  grep -q "could not write .*read-only.csv: The file is read-only" <<<"$errors"
# A named pipe (or a device: root may write in /dev) is never replaced by an export.
mkfifo "$work/out/pipe.pdf"
errors=$("$program" --export-report "$work/out/pipe.pdf" "$work/charge.log" 2>&1)
check "an export over a named pipe exits with 1, the pipe left" test $? -eq 1 -a -p "$work/out/pipe.pdf"
check "... saying what it is" grep -q "pipe.pdf: It is a named pipe (FIFO), not a regular" <<<"$errors"

# --- The window, in a private X server.
start_test_display

wait_for_window() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -1; }
menu() {  # menu MENU-KEY ITEM-KEY: a command by its menu's and its own mnemonic
  xdotool windowfocus --sync "$window"
  xdotool key "alt+$1"
  sleep 0.3
  xdotool key "$2"
}
choose_file() {  # choose_file TITLE PATH: types the path into the file dialog just opened
  local dialog
  dialog=$(wait_for_window "^$1\$")
  xdotool windowfocus --sync "$dialog"
  xdotool type --delay 10 "$2"
  xdotool key Return
  sleep 0.7
}
export_view() {  # export_view NAME: the CSV of the range in view
  menu f v
  choose_file 'Export to File' "$work/out/$1"
}
export_png() {  # export_png NAME: the plot as shown
  menu f p
  choose_file 'Export to File' "$work/out/$1"
}
export_report() {  # export_report NAME: the one-page report
  menu f t
  choose_file 'Export to File' "$work/out/$1"
}

"$program" "$work/charge.log" 2>"$work/viewer.err" &
pids+=($!)
window=$(wait_for_window 'charge.log — Ampelon Viewer')
check "the window opens with the file given" test -n "$window"
export_view all.csv
check "the whole charge is in view at first" test "$(rows "$work/out/all.csv")" -eq 5000

xdotool mousemove --window "$window" 500 300
for _ in 1 2 3 4; do xdotool click 4; sleep 0.1; done
sleep 0.3
export_view wheel.csv
wheel=$(rows "$work/out/wheel.csv")
check "the wheel zooms in ($wheel readings in view)" test "$wheel" -gt 0 -a "$wheel" -lt 3000
xdotool windowfocus --sync "$window"
xdotool key Home
xdotool mousemove --window "$window" 200 200 mousedown 1 mousemove --window "$window" 260 400 \
  mousemove --window "$window" 320 450 mouseup 1
sleep 0.3
export_view rectangle.csv
first=$(sed -n 2p "$work/out/rectangle.csv" | cut -d, -f1)
rectangle=$(rows "$work/out/rectangle.csv")
check "a dragged rectangle zooms into it ($rectangle readings from sample $first)" \
  test "$rectangle" -gt 0 -a "$rectangle" -lt 1500 -a "$first" -gt 500
xdotool mousemove --window "$window" 250 300 click 1
sleep 0.2
xdotool mousemove --window "$window" 300 300 click 1
sleep 0.2
export_png markers.png
check "a click sets marker A" test "$(pixels_of "$work/out/markers.png" '#FFDC00')" -gt 10
check "a second click sets marker B" test "$(pixels_of "$work/out/markers.png" '#00C8FF')" -gt 10
xdotool windowfocus --sync "$window"
xdotool key Escape
export_png cleared.png
check "Escape clears the markers" test "$(pixels_of "$work/out/cleared.png" '#FFDC00')" -eq 0

menu f c
choose_file 'Select Graph LOG File' "$work/reference.log"
export_png compared.png
check "Compare with… draws the reference" test "$(pixels_of "$work/out/compared.png" '#FF963C')" -gt 300
export_report compared.pdf
check "Export Report… writes the charge against the reference" \
  bash -c "pdftotext '$work/out/compared.pdf' - | grep -q '^Against the reference'"
# Long battery notes are cut on the report, never left out, and leave room for the pinned notes.
python3 - "$XDG_DATA_HOME/Trevanix Ampelon/charges.sqlite" <<'EOF'
import sqlite3, sys
with sqlite3.connect(sys.argv[1]) as library:
    library.execute("UPDATE charge SET details_notes = ?", ("from the drawer " * 400,))
    library.execute("INSERT INTO note (charge_id, sample, text) SELECT id, 9, 'fan on' FROM charge")
EOF
"$program" --export-report "$work/out/notes.pdf" "$work/charge.log"
check "a report cuts long battery notes and keeps the pinned ones" test \
  "$(pdftotext "$work/out/notes.pdf" - | grep -c -e '^Notes: from the drawer' -e 'fan on')" -eq 2
menu f r
sleep 0.3
export_png removed.png
check "Remove Reference takes it away" test "$(pixels_of "$work/out/removed.png" '#FF963C')" -eq 0

# Dropping a file is left to the desktop; opening another one replaces the charge.
menu f o
choose_file 'Select Graph LOG File' "$work/binary.log"
message=$(wait_for_window '^Ampelon Viewer$')
check "a file that is no graph log is reported" grep -q "binary.log is not a graph log" "$work/viewer.err"
xdotool windowfocus --sync "$message"
xdotool key Return
sleep 0.3
xdotool windowfocus --sync "$window"
xdotool key Home
export_view after-bad.csv
check "... and the charge shown stays, Home showing all of it" test "$(rows "$work/out/after-bad.csv")" -eq 5000
check "the last folder is the viewer's own setting" \
  grep -q "Last%20Path=\"$work/out/\"" "$XDG_CONFIG_HOME/Trevanix Ampelon/viewer.ini"

# --- Following the running charge through its journal.
mkdir -p "$journal_folder"
menu f f
sleep 0.5
journal() { printf "$1" >>"$journal_folder/charge-journal.log"; }
journal '2000\r\n2001\r\n2002\r\n'
sleep 1.5
export_view follow1.csv
check "following shows the journal's readings" test "$(rows "$work/out/follow1.csv")" -eq 3
journal '2003\r\n2004\r\n'
sleep 1.5
export_view follow2.csv
check "... and what is added to it" test "$(rows "$work/out/follow2.csv")" -eq 5
printf '1500\r\n1501\r\n' >"$journal_folder/charge-journal.log"  # a load rewrites it
sleep 1.5
export_view follow3.csv
check "a rewritten journal starts the view over" \
  test "$(cut -d, -f3 "$work/out/follow3.csv" | tr -d '\r' | tail -n +2 | paste -sd' ')" = "1500 1501"
rm "$journal_folder/charge-journal.log"
sleep 1.5
export_view follow4.csv
check "a removed journal keeps what is shown" test "$(rows "$work/out/follow4.csv")" -eq 2
check "the viewer never writes the journal's folder" \
  test "$(ls -A "$journal_folder")" = ""

finish_checks
