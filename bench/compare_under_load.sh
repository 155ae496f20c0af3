#!/usr/bin/env bash
# Checks the verdicts of the comparison of runs on this machine with real
# runs of test 16 (or TEST; repeated for 20 s), as a user would make them:
#
#   1. quiet: QUIET+1 runs of `bench -bb -i 16 -c auto` one after another;
#      after each from the second on, `bench -lcj -c auto` compares it with
#      the run before it. Expected: mostly "no clear change".
#   2. loaded: one more run with two busy loops running for the whole test
#      (one per core of a 2-core machine), then the same comparison.
#      Expected: "slower".
#
# It prints every comparison's verdict, change and p-value, the counts, and
# the loaded run's table. Takes about (QUIET+2) x 45 s; with the library
# that skips the program's 20 s pause (build/release/unittests/cli/
# libno_pause_preload.so) about half of that. The work happens in a fresh
# temporary folder.
#
# With CLOCK=<MHz> the runs are recorded under that clock and the
# description "Comparison check" instead of with -c auto: on a machine whose
# measured clock strays by more than 5% between runs (a busy virtual
# machine), runs with -c auto can be recorded as two systems, and there is
# then no earlier run to compare with.
#
# Usage: bench/compare_under_load.sh [build-dir] (default build/release);
#        environment: QUIET=10 TEST=16 CLOCK=auto
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/release}" && pwd)
quiet=${QUIET:-10}
test=${TEST:-16}
system=(-c auto)
[ "${CLOCK:-auto}" != auto ] && system=(-c "$CLOCK" "Comparison check")
bench=$build/src/bench
preload=$build/unittests/cli/libno_pause_preload.so
[ -f "$preload" ] && export LD_PRELOAD=$preload

work=$(mktemp -d)
loops=()
cleanup() {
  for pid in "${loops[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

# Prints the verdict, change, p-value, both repetition counts and the
# warnings of the test in the latest comparison.
verdict() {
  "$bench" -lcj "${system[@]}" 2>compare.err | python3 -c '
import json, sys
test = json.load(sys.stdin)["tests"][0]
p = "n/a" if test["p_value"] is None else "%.3g" % test["p_value"]
print(test["verdict"], "%+.2f%%" % test["change_percent"], "p=" + p,
      test["before"]["repetitions"], test["now"]["repetitions"], ",".join(test["warnings"]))' 2>/dev/null ||
    cat compare.err
}

"$bench" -bb -i "$test" "${system[@]}" >/dev/null 2>&1
unchanged=0
for pair in $(seq 1 "$quiet"); do
  "$bench" -bb -i "$test" "${system[@]}" >/dev/null 2>&1
  line=$(verdict)
  echo "quiet pair $pair: $line"
  [[ $line == no_clear_change* ]] && unchanged=$((unchanged + 1))
done
echo "quiet pairs with no clear change: $unchanged of $quiet"

for _ in 1 2; do
  sh -c 'while :; do :; done' &
  loops+=($!)
done
"$bench" -bb -i "$test" "${system[@]}" >/dev/null 2>&1
for pid in "${loops[@]}"; do kill "$pid"; done
loops=()
echo "loaded run: $(verdict)"
"$bench" -b -lc "${system[@]}"
