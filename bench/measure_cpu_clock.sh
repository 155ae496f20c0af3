#!/usr/bin/env bash
# Measures the clock the way `bench -c auto` does, ten times in a row, and
# checks it against the same chain of additions run by a separate program
# (addition_chain_probe): timed by this script, by the wall clock and by the
# CPU time the kernel accounts to the program, and timed by the program
# itself in short chunks. On a quiet machine all figures agree; on a busy
# one the timings from outside include the time other programs had the
# processor, and only the chunked figures show the clock it runs at.
#
# Usage: bench/measure_cpu_clock.sh [build-dir] (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
millions=${MILLIONS:-3000}

"$build/bench/cpu_clock_benchmark" --benchmark_counters_tabular=true

echo
echo "addition_chain_probe, ${millions}M additions, timed from outside:"
for run in 1 2 3; do
  python3 - "$build/bench/addition_chain_probe" "$millions" <<'PY'
import resource, subprocess, sys, time
probe, millions = sys.argv[1], int(sys.argv[2])
start = time.perf_counter()
subprocess.run([probe, str(millions)], check=True, stdout=subprocess.DEVNULL)
wall = time.perf_counter() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
cpu = usage.ru_utime + usage.ru_stime
print(f"  wall {wall:.3f} s -> {millions / wall:.0f} MHz;  cpu time {cpu:.3f} s -> {millions / cpu:.0f} MHz")
PY
done

echo
echo "addition_chain_probe timing itself in chunks of about 1M additions:"
for run in 1 2 3; do
  echo "  $("$build/bench/addition_chain_probe" 300 300)"
done
