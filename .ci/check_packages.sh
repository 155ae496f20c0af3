#!/usr/bin/env bash
# Checks the packages of one or more builds as a user would use them, after
# `cmake --build --preset <preset> --target package`:
#
#   .ci/check_packages.sh build/release build/arm64 build/windows
#
# For each build folder, from the file names in its CPackConfig.cmake:
# - a .deb: lintian reports no error; when it is for this machine's
#   architecture, dpkg -i installs it, `bench -t` and `man -w bench` work
#   from another folder, and dpkg -r removes it all (needs root);
# - a .tar.gz: its bench is statically linked and, unpacked, runs -t from an
#   empty folder; natively also a quick test (-b -i 4); a foreign one under
#   qemu-user without -L, so no library of the host can help it;
# - a .zip: unpacked, bench.exe runs -t under Wine (WINEPREFIX defaults to the
#   build's own, as in its tests).
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "check_packages: $*" >&2
  exit 1
}

# The value of `set(NAME "value")` in a build's CPackConfig.cmake.
cpack_value() {
  sed -n "s/^set($2 \"\(.*\)\")$/\1/p" "$1/CPackConfig.cmake"
}

# A fresh empty folder under the scratch folder.
empty_folder() {
  mktemp -d "$scratch/run.XXXX"
}

# Runs `bench -t` (the command given) in an empty folder; the self-test must
# pass and print the banner.
self_test() {
  local out
  out="$(cd "$(empty_folder)" && "$@" -t)" || fail "$* -t exited with $?"
  grep -q '^KESTRO Bench ' <<<"$out" || fail "$* -t printed no banner: $out"
  [ "$(grep -c ': passed' <<<"$out")" -eq 2 ] || fail "$* -t did not pass: $out"
  echo "ok: $* -t"
}

check_deb() {
  local deb="$1" arch="$2"
  [ -f "$deb" ] || fail "no $deb"
  lintian --fail-on error "$deb" || fail "lintian reports errors on $deb"
  echo "ok: lintian $deb"
  [ "$arch" = "$(dpkg --print-architecture)" ] || return 0

  ! dpkg -s bench >/dev/null 2>&1 || fail "a bench package is installed already; remove it first"
  # Minimal images may keep dpkg from unpacking man pages; this package's
  # own is what is being checked, so it is let in.
  local include=()
  if grep -qsh '^path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg /etc/dpkg/dpkg.cfg.d/*; then
    echo "note: dpkg is set to leave out man pages here; bench's is let in"
    include=(--path-include=/usr/share/man/man1/bench.1.gz)
  fi
  dpkg "${include[@]}" -i "$deb" || fail "dpkg -i $deb failed"
  trap 'dpkg -r bench >/dev/null 2>&1; rm -rf "$scratch"' EXIT

  [ "$(command -v bench)" = /usr/bin/bench ] || fail "bench is not /usr/bin/bench on PATH"
  self_test bench
  local page
  page="$(cd "$(empty_folder)" && man -w bench)" || fail "man -w bench found no page"
  [ "$page" = /usr/share/man/man1/bench.1.gz ] || fail "man -w bench found $page"
  local text
  text="$(cd "$(empty_folder)" && man -P cat bench 2>&1)" || fail "man bench failed: $text"
  grep -q '^SYNOPSIS' <<<"$text" || fail "man bench does not render: $text"
  echo "ok: man -w bench: $page"

  dpkg -r bench || fail "dpkg -r bench failed"
  trap 'rm -rf "$scratch"' EXIT
  ! dpkg -s bench >/dev/null 2>&1 || fail "bench is still known to dpkg after dpkg -r"
  for file in /usr/bin/bench /usr/share/man/man1/bench.1.gz /usr/share/doc/bench; do
    [ ! -e "$file" ] || fail "$file is left after dpkg -r"
  done
  echo "ok: dpkg -i, dpkg -r $deb"
}

check_tarball() {
  local tarball="$1" name="$2"
  [ -f "$tarball" ] || fail "no $tarball"
  local into
  into="$(empty_folder)"
  tar -xzf "$tarball" -C "$into"
  local dir="$into/$name"
  for file in bench README.md bench.1 LICENSE; do
    [ -f "$dir/$file" ] || fail "$tarball holds no $name/$file"
  done
  local kind
  kind="$(file "$dir/bench")"
  [[ "$kind" == *"statically linked"* ]] || fail "the bench of $tarball is not static: $kind"

  local arch="${name##*-}"
  if [ "$arch" = "$(uname -m)" ]; then
    local libraries
    libraries="$(ldd "$dir/bench" 2>&1 || true)"
    [[ "$libraries" == *"not a dynamic executable"* ]] ||
      fail "ldd lists libraries for the bench of $tarball: $libraries"
    self_test "$dir/bench"
    local run
    run="$(empty_folder)"
    # Its standard error says there was no results.txt and that 1000 MHz is
    # not this machine's clock: expected, so it is shown only on failure.
    (cd "$run" && "$dir/bench" -b -i 4 -c 1000 x >/dev/null 2>"$run/stderr") ||
      fail "$tarball: bench -b -i 4 exited with $?: $(cat "$run/stderr")"
    grep -q '^ 4 ' "$run/results.txt" || fail "$tarball: bench -b -i 4 recorded no result"
    echo "ok: $tarball: bench -b -i 4"
  else
    self_test "qemu-$arch" "$dir/bench"
  fi
}

check_zip() {
  local zip="$1" name="$2" build="$3"
  [ -f "$zip" ] || fail "no $zip"
  local into
  into="$(empty_folder)"
  (cd "$into" && cmake -E tar xf "$zip")
  local dir="$into/$name"
  for file in bench.exe README.txt LICENSE.txt; do
    [ -f "$dir/$file" ] || fail "$zip holds no $name/$file"
  done
  # Through the Windows tests' runner, which starts a program again when
  # Wine itself failed to start it.
  (export WINEPREFIX="${WINEPREFIX:-$build/wine}" WINEDEBUG=-all DISPLAY=""
    self_test "$repo/cmake/wine_tests.sh" run wine "$dir/bench.exe")
}

[ $# -gt 0 ] || fail "usage: check_packages.sh BUILD-FOLDER..."
for build in "$@"; do
  build="$(cd "$build" && pwd)"
  [ -f "$build/CPackConfig.cmake" ] || fail "$build has no CPackConfig.cmake (configure it with BENCH_PACKAGE=ON)"
  name="$(cpack_value "$build" CPACK_PACKAGE_FILE_NAME)"
  generators="$(cpack_value "$build" CPACK_GENERATOR)"
  for generator in ${generators//;/ }; do
    case "$generator" in
      DEB)
        check_deb "$build/$(cpack_value "$build" CPACK_DEBIAN_FILE_NAME)" \
                  "$(cpack_value "$build" CPACK_DEBIAN_PACKAGE_ARCHITECTURE)" ;;
      TGZ) check_tarball "$build/$name.tar.gz" "$name" ;;
      ZIP) check_zip "$build/$name.zip" "$name" "$build" ;;
      *) fail "no check for the $generator package of $build" ;;
    esac
  done
done
echo "check_packages: all packages passed"
