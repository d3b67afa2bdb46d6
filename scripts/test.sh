#!/usr/bin/env bash
# Builds and runs every test: the release build (unit, widget, network and end-to-end tests),
# the unit, widget and network tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# a short run of every fuzz target, and the Windows build's tests under Wine. Prints how long
# each phase took at the end, also when one fails. The checks that measure over minutes are in scripts/soak.sh.
#
# Environment: FUZZ_SECONDS (default 15 per fuzz target), E2E_JOBS (end-to-end suites run at
# the same time, each under its own X server; default 1: two at a time starved the window
# manager and the tooltips on a loaded 2-core machine).
set -euo pipefail
cd "$(dirname "$0")/.."
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

phase_names=()
phase_seconds=()
started=$SECONDS

report() {
  local status=$?
  echo
  echo "Phase times:"
  local i
  for i in "${!phase_names[@]}"; do
    printf '  %-14s %4d s\n' "${phase_names[$i]}" "${phase_seconds[$i]}"
  done
  printf '  %-14s %4d s\n' "total" $((SECONDS - started))
  return "$status"
}
trap report EXIT

# phase NAME COMMAND...: runs COMMAND and records its time under NAME.
phase() {
  local name=$1 begin=$SECONDS
  shift
  echo "== $name" >&2
  local status=0
  "$@" || status=$?
  phase_names+=("$name")
  phase_seconds+=($((SECONDS - begin)))
  return "$status"
}

phase "build" scripts/build.sh release
phase "release tests" ctest --preset release -LE 'e2e|soak' -j 2
phase "e2e" ctest --preset release -L e2e -j "${E2E_JOBS:-1}"

# The sanitizer pass runs only the unit, widget and network tests: it builds their programs
# and the feed tool the network tests run, not the program, the benchmarks or the rest.
phase "asan build" scripts/build.sh asan unit_tests widget_tests net_tests feeddump
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
phase "asan tests" ctest --preset asan -j 2

phase "fuzz" scripts/fuzz.sh "${FUZZ_SECONDS:-15}"

# The Windows build: cross-built with mingw-w64 and tested under Wine (unit tests, the Windows
# services, the download against the sample feed server, the form engine and the program).
phase "windows build" scripts/build.sh windows
# One at a time: run beside another Wine program, the download test once saw a redirect
# loop answered 200 (not yet understood).
phase "windows tests" ctest --preset windows
echo "All tests passed."
