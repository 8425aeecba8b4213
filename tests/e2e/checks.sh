# The checks of the scripts that drive a whole program: `check WHAT COMMAND...` runs COMMAND and
# prints "ok: WHAT" or "FAILED: WHAT"; `finish_checks` prints the totals and fails when any
# check failed.
passed=0
failed=0

check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

finish_checks() {
  echo "$passed passed, $failed failed"
  [[ $failed -eq 0 ]]
}

# A private work folder, removed at the end once the processes in `pids` are ended.
start_private_work() {
  work=$(mktemp -d)
  pids=()
  trap end_private_work EXIT
}

end_private_work() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}

# A private X server on a free display, ended with the work folder.
start_test_display() {
  exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
  pids+=($!)
  read -r -t 10 display_number <&3 || { echo "FAILED: Xvfb did not start"; exit 1; }
  export DISPLAY=":$display_number"
}
