#!/usr/bin/env bash
# Times the real program on a collector's result table of a million records
# (about 40 MB, written by collection_table_writer) and reports its peak
# memory, each command with /usr/bin/time: merging a table someone sent
# (100 systems) and merging a copy of the whole table (every record a
# duplicate), the text listing, the web page and the JSON.
#
# The target: merging the sent table, listing and rendering the page take
# under 5 seconds together, and no command needs more memory than four
# times the table's size. The script ends with status 1 when it is missed.
#
# Usage: bench/measure_collection.sh [build-dir] (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/release}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$build/bench/collection_table_writer" collection.txt
head -n 2400 collection.txt | sed 's/GHz$/GHz (sent)/' > sent.txt
table_bytes=$(stat -c %s collection.txt)
echo "table: $(wc -l < collection.txt) records, $table_bytes bytes"
printf '%-28s %9s %10s %8s %12s\n' command seconds "peak MiB" "x table" "output bytes"

total=0
missed=0
# measure <counts toward the 5 s: yes|no> <name> <bench arguments...>
measure() {
  local counts=$1 name=$2
  shift 2
  cp collection.txt results.txt
  rm -f enhanced.txt
  /usr/bin/time -f '%e %M' -o time.txt "$build/src/bench" "$@" -c 2400 "Measuring system" \
    > out.txt 2> err.txt || { cat err.txt; exit 1; }
  read -r seconds kib < time.txt
  local ratio
  ratio=$(awk -v k="$kib" -v b="$table_bytes" 'BEGIN { printf "%.2f", k * 1024 / b }')
  printf '%-28s %9s %10s %8s %12s\n' "$name" "$seconds" "$((kib / 1024))" "$ratio" \
    "$(stat -c %s out.txt)"
  if [ "$counts" = yes ]; then total=$(awk -v t="$total" -v s="$seconds" 'BEGIN { print t + s }'); fi
  if awk -v r="$ratio" 'BEGIN { exit !(r >= 4) }'; then missed=1; fi
}

measure yes "-m (a sent table)" -b -m sent.txt
measure no "-m (the table itself)" -b -m collection.txt
measure yes "-l" -b -l
measure yes "-lh" -lh
measure no "-lj" -lj
measure no "-ls" -b -ls

echo "merge, -l and -lh together: $total s (target: under 5 s)"
if awk -v t="$total" 'BEGIN { exit !(t >= 5) }'; then missed=1; fi
[ "$missed" = 0 ] && echo "target met" || { echo "target missed"; exit 1; }
