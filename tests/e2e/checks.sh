# Sourced by the end-to-end scripts that check many facts in a row and report them all:
# check DESCRIPTION COMMAND... counts a pass or a failure; checks_end says the
# totals and fails when any check did.
# shellcheck shell=bash
failures=0
passes=0
check() {
  local what="$1"; shift
  if "$@"; then echo "PASS: $what"; passes=$((passes + 1)); else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
checks_end() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}
