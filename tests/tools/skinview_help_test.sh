#!/usr/bin/env bash
# skinview --help prints its usage and exits 0, with a display and without one (it needs none).
# Usage: skinview_help_test.sh SKINVIEW
set -u
skinview=$1
fail=0
check() {
  local what=$1 out status
  shift
  out=$("$@" 2>/dev/null)
  status=$?
  if [ "$status" -ne 0 ] || ! grep -q '^usage: skinview' <<<"$out"; then
    echo "FAIL: --help $what: exit status $status, output: $out"
    fail=1
  fi
}
check "without a display" env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$skinview" --help
check "-h without a display" env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$skinview" -h
if [ -n "${DISPLAY:-}" ]; then check "with a display" "$skinview" --help; fi
# Wrong use still says how to use it, on the error stream, with status 2.
env -u DISPLAY "$skinview" --no-such-option >/dev/null 2>&1
status=$?
if [ "$status" -ne 2 ]; then echo "FAIL: a wrong option gave exit status $status, not 2"; fail=1; fi
exit $fail
