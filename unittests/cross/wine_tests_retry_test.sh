#!/usr/bin/env bash
# The Wine runner starts a program again only when Wine failed to start it,
# and otherwise passes on the program's exit status and both its outputs.
set -uo pipefail
runner="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fails=0
check() {  # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAILED: $1: expected [$2], got [$3]"
    fails=1
  fi
}

# A stand-in for wine: fails to start the first $1 times, then runs the
# program, which prints on both outputs and exits with status $2.
fake_wine() {
  cat >"$work/wine" <<FAKE
#!/bin/sh
count=\$(cat "$work/starts" 2>/dev/null || echo 0)
echo \$((count + 1)) >"$work/starts"
if [ "\$count" -lt $1 ]; then
  echo "wine client error:0: recvmsg: Connection reset by peer" >&2
  exit 1
fi
echo "out \$*"
echo "err \$*" >&2
exit $2
FAKE
  chmod +x "$work/wine"
  rm -f "$work/starts"
}

fake_wine 1 0
"$runner" run "$work/wine" prog a >"$work/out" 2>"$work/err"
check "one failed start: status" 0 $?
check "one failed start: starts" 2 "$(cat "$work/starts")"
check "one failed start: output" "out prog a" "$(cat "$work/out")"
check "one failed start: error output ends with the program's" "err prog a" "$(tail -n 1 "$work/err")"

fake_wine 0 3
"$runner" run "$work/wine" prog >"$work/out" 2>"$work/err"
check "program fails: status" 3 $?
check "program fails: not started again" 1 "$(cat "$work/starts")"
check "program fails: error output" "err prog" "$(cat "$work/err")"

fake_wine 5 0
"$runner" run "$work/wine" prog >"$work/out" 2>"$work/err"
check "Wine never starts it: status" 1 $?
check "Wine never starts it: three starts" 3 "$(cat "$work/starts")"
exit $fails
