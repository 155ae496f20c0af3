#!/usr/bin/env bash
# Checks the man page.
#
#   check_man_page.sh groff GROFF PAGE      groff -ww reports nothing on PAGE
#   check_man_page.sh options README PAGE   PAGE describes every option of the
#                                           README's option table
#
# The second check keeps the page in step when an option is added: the
# README's table is where options are listed first.
set -euo pipefail

case "${1:-}" in
  groff)
    # -z: only the diagnostics; -ww: every warning.
    report="$("$2" -ww -z -man "$3" 2>&1)"
    if [ -n "$report" ]; then
      echo "$report"
      exit 1
    fi
    ;;
  options)
    readme="$2"
    page="$3"
    missing=0
    # The first cell of each row of the table under "## Options".
    while IFS= read -r row; do
      cell="${row#| }"
      cell="${cell%% | *}"
      for option in $(grep -oE '`-[a-z]+' <<<"$cell" | tr -d '`'); do
        # In roff a minus is written \-.
        if ! grep -qE "\\\\${option}([^a-z]|$)" "$page"; then
          echo "$page does not describe $option"
          missing=1
        fi
      done
    done < <(sed -n '/^## Options$/,/^## /p' "$readme" | grep -E '^\| `')
    exit $missing
    ;;
  *)
    echo "usage: check_man_page.sh groff GROFF PAGE | options README PAGE" >&2
    exit 64
    ;;
esac
