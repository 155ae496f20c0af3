#!/usr/bin/env bash
# Runs the Windows build's tests under Wine (the cross build's CTest emulator
# and its fixture). WINEPREFIX comes from the test preset.
#
#   wine_tests.sh start WINE          set up the prefix; keep one wine server
#                                     running until `stop`
#   wine_tests.sh stop                end that server (and what still runs in it)
#   wine_tests.sh run WINE PROGRAM... run a test program
#
# One server for the whole session: otherwise Wine ends its server three
# seconds after the last Windows process, and a test starting just then can
# meet a server that is going away.
#
# `run` starts a program again when Wine itself failed to start it: the client
# lost its connection to the server while the process was still being set up
# ("wine client error:0:", thread 0 being the one before the program's own
# threads exist), so none of the program's code ran. Any other failure is the
# program's own and is passed on unchanged.
set -u

prefix="${WINEPREFIX:-$HOME/.wine}"

case "${1:-}" in
  start)
    mkdir -p "$prefix" || exit 1
    # The server, and the services Wine starts for the prefix, outlive this
    # script: their output goes to files, not to the pipes CTest waits on.
    # Status 2: a server already runs for this prefix (say, one left by an
    # interrupted session); the tests use it.
    wineserver -p >"$prefix/wineserver.log" 2>&1 </dev/null
    status=$?
    if [ $status -ne 0 ] && [ $status -ne 2 ]; then
      cat "$prefix/wineserver.log" >&2
      exit $status
    fi
    if ! "$2" wineboot --init >"$prefix/wineboot.log" 2>&1 </dev/null; then
      cat "$prefix/wineboot.log" >&2
      exit 1
    fi
    ;;
  stop)
    # Status 1: no server was running.
    wineserver -k
    status=$?
    if [ $status -eq 1 ]; then exit 0; fi
    exit $status
    ;;
  run)
    wine="$2"
    shift 2
    log="$(mktemp)" || exit 1
    trap 'rm -f "$log"' EXIT
    for attempt in 1 2 3; do
      # The program's standard error goes through tee into the log; its
      # standard output stays where it was (descriptor 3 meanwhile).
      { "$wine" "$@" 2>&1 1>&3 3>&- | tee "$log" >&2; } 3>&1
      status=${PIPESTATUS[0]}
      if [ $status -eq 0 ] || ! grep -q '^wine client error:0:' "$log"; then
        exit $status
      fi
      echo "wine_tests.sh: Wine failed to start $1 (attempt $attempt); starting it again" >&2
      sleep 1
    done
    exit $status
    ;;
  *)
    echo "usage: wine_tests.sh start WINE | stop | run WINE PROGRAM [ARGUMENT...]" >&2
    exit 64
    ;;
esac
