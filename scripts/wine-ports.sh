# Sourced by the scripts that run Windows programs under Wine, in the prefix $WINEPREFIX names.
# Wine without debug output or the .NET and HTML engines it would offer to install.
export WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# start_wine_with_ports MISSING-PATH [N=PATH ...]: creates the prefix with COMn mapped to PATH
# and every other port up to COM12 to MISSING-PATH, so that nothing opens this machine's own
# serial ports (Wine moves them to COM13 and up), and leaves the prefix's wine server running.
start_wine_with_ports() {
  local missing=$1 pair port
  shift
  local -A paths=()
  for pair in "$@"; do paths[${pair%%=*}]=${pair#*=}; done
  mkdir -p "$WINEPREFIX"
  {
    printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
    for port in {1..12}; do printf '"COM%d"="%s"\n' "$port" "${paths[$port]:-$missing}"; done
  } >"$WINEPREFIX/ports.reg"
  # The wine server outlives the program that starts it and keeps that program's output open;
  # started by a test, it would hold the test's pipe. So it is started here, persistent, with no
  # output. Wine applies the port map only when it starts: the first start writes it, a second
  # one applies it.
  wineserver -p </dev/null >/dev/null 2>&1
  wine reg import "$WINEPREFIX/ports.reg" </dev/null >/dev/null 2>&1
  wineserver -k || true
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
