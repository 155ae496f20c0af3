#!/usr/bin/env bash
# Fails when a source folder includes a header from a folder above it.
# Layers, top to bottom: driver, results, workloads, run, regex, core,
# platform. main.cc, above them all, may include the driver's headers and
# platform/fpu.h (it sets the floating-point precision before anything
# runs), nothing else of ours.
set -euo pipefail
src="$1"
layers=(driver results workloads run regex core platform)
status=0
for ((i = 0; i < ${#layers[@]}; i++)); do
  folder=${layers[$i]}
  allowed=("${layers[@]:$i}")
  while IFS=: read -r file line include; do
    top=${include%%/*}
    ok=0
    for a in "${allowed[@]}"; do [ "$top" = "$a" ] && ok=1; done
    if [ $ok -eq 0 ]; then
      echo "$file:$line: includes \"$include\" from a layer above $folder"
      status=1
    fi
  done < <(grep -rnoE '^#include "[a-z_]+/[^"]+"' "$src/$folder" |
           sed -E 's/^([^:]+):([0-9]+):#include "([^"]+)"/\1:\2:\3/')
done
while IFS=: read -r line include; do
  case "$include" in
    driver/* | platform/fpu.h) ;;
    *)
      echo "$src/main.cc:$line: includes \"$include\"; main.cc may include only the driver and platform/fpu.h"
      status=1
      ;;
  esac
done < <(grep -noE '^#include "[a-z_]+/[^"]+"' "$src/main.cc" |
         sed -E 's/^([0-9]+):#include "([^"]+)"/\1:\2/')
exit $status
