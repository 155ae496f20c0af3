#!/usr/bin/env bash
# The layering check passes a tree whose includes run downward and fails one
# where main.cc or a folder includes from where it may not.
set -uo pipefail
checker="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fails=0

# Each case: the file, the include line it gets, the expected exit status.
cases=(
  "main.cc|#include \"driver/command_line.h\"|0"
  "main.cc|#include \"platform/fpu.h\"|0"
  "main.cc|#include \"platform/files.h\"|1"
  "main.cc|#include \"results/listing.h\"|1"
  "results/listing.cc|#include \"run/settings.h\"|0"
  "results/listing.cc|#include \"driver/harness.h\"|1"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r file include expected <<<"$entry"
  rm -rf "$work/src"
  mkdir -p "$work/src"/{driver,results,workloads,run,regex,core,platform}
  echo '#include "driver/command_line.h"' >"$work/src/main.cc"
  echo "$include" >>"$work/src/$file"
  bash "$checker" "$work/src" >/dev/null
  status=$?
  if [ "$status" != "$expected" ]; then
    echo "FAILED: $file with $include: expected status $expected, got $status"
    fails=1
  fi
done
exit $fails
