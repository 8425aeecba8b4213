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
