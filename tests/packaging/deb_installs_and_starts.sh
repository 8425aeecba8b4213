#!/usr/bin/env bash
# Builds the .deb from this build tree into a temporary folder, checks its control data and
# contents, has lintian check it (no error, no warning), unpacks it into a temporary root, reads
# its manual page and starts the unpacked program on the offscreen platform: it must keep
# running, and end with exit code 0 on SIGTERM.
set -euo pipefail
cpack=$1
cpack_config=$2
app_id=$3

work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

if ! "$cpack" -G DEB --config "$cpack_config" -B "$work/package" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack could not build the package"
fi
shopt -s nullglob
debs=("$work"/package/ampelon_*.deb)
((${#debs[@]} == 1)) || fail "expected one ampelon_*.deb, found: $(ls "$work/package")"
deb=${debs[0]}
echo "package: $(basename "$deb")"

info=$(dpkg-deb -I "$deb")
depends=$(grep '^ Depends:' <<<"$info") || fail "no Depends line in the control data"
echo "$depends"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
  grep -qw "$library" <<<"$depends" || fail "Depends lacks $library"
done

contents=$(dpkg-deb -c "$deb")
for file in usr/bin/ampelon usr/bin/ampelon-viewer \
  "usr/share/applications/$app_id.desktop" "usr/share/applications/${app_id}Viewer.desktop" \
  "usr/share/metainfo/$app_id.metainfo.xml" \
  "usr/share/icons/hicolor/16x16/apps/$app_id.png" \
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
  usr/share/doc/ampelon/copyright usr/share/doc/ampelon/changelog.gz \
  usr/share/man/man1/ampelon.1.gz; do
  grep -q " \./$file\$" <<<"$contents" || fail "package lacks /$file"
done

command -v lintian >/dev/null || fail "lintian is missing: run scripts/setup"
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log"; fail "lintian finds errors or warnings in the package"; }
echo "lintian: no errors, no warnings"

root=$work/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/ampelon
# A run path into the build tree would let the program start here and nowhere else.
if readelf -d "$program" | grep -Eq 'R(UN)?PATH'; then
  fail "the packaged program has a run path: $(readelf -d "$program" | grep -E 'R(UN)?PATH')"
fi

# The manual page as man shows it: readable without complaint, with the sections users look for.
page=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/ampelon.1.gz" 2>"$work/man.log")
[[ -s $work/man.log ]] && { cat "$work/man.log"; fail "man complains about the manual page"; }
for section in SYNOPSIS OPTIONS "SERIAL PORTS" FILES "EXIT STATUS"; do
  grep -q "^$section" <<<"$page" || fail "the manual page has no $section section"
done

mkdir -m 700 "$work/runtime" "$work/home"
env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen HOME="$work/home" \
  XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" XDG_STATE_HOME="$work/state" \
  XDG_DATA_HOME="$work/data" \
  "$program" >"$work/program.log" 2>&1 &
pid=$!
sleep 1
if ! kill -0 "$pid" 2>/dev/null; then
  status=0
  wait "$pid" || status=$?
  pid=
  cat "$work/program.log"
  fail "the program ended within a second, exit code $status"
fi
kill -TERM "$pid"
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && { cat "$work/program.log"; fail "the program ignored SIGTERM for 10 s"; }
status=0
wait "$pid" || status=$?
pid=
if ((status != 0)); then
  cat "$work/program.log"
  fail "the program ended with exit code $status on SIGTERM"
fi
echo "the unpacked program ran for a second and ended cleanly on SIGTERM"
