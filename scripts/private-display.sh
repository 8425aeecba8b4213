# Sourced by the scripts that run programs in a private X server. They note every process they
# start in started_pids; end_started, called at exit, ends them newest first and waits for each
# before it ends the next, so that a program has closed its window before the X server it draws
# on goes away (otherwise it reports that its X connection broke).
started_pids=()

# start_private_display WIDTHxHEIGHT: an X server on a free display; DISPLAY names it.
start_private_display() {
  local display_number
  exec 3< <(Xvfb -displayfd 1 -screen 0 "$1x24" -nolisten tcp 2>/dev/null)
  started_pids+=($!)
  read -r -t 10 display_number <&3 || { echo "The private X server did not start" >&2; return 1; }
  export DISPLAY=":$display_number"
}

# end_started: asks each process to end, newest first, and gives it 5 seconds before it is killed.
end_started() {
  local i pid
  for ((i = ${#started_pids[@]} - 1; i >= 0; i--)); do
    pid=${started_pids[i]}
    kill "$pid" 2>/dev/null || continue
    for _ in {1..50}; do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
