#!/usr/bin/env bash
# Runs tests again and again on a busy machine, to find the ones that fail now and then: each
# ctest test whose name matches REGEX runs N times, one run after the other, while a process of
# its own keeps one core busy the whole time (a person's machine is busy too). Every failed
# run's output is kept in build/repeat-logs/; at the end it prints each test's count of passed
# runs and exits non-zero when any run failed.
#
# Usage: scripts/repeat.sh [--preset PRESET] [--exclude REGEX] [--no-load] N REGEX
#   PRESET: the ctest preset whose tests run (default release; windows for the Wine tests).
#   --exclude: leaves out the tests whose names match it.
#   --no-load: no busy process of its own (another run beside it keeps the core busy).
#   The tests must be built already (scripts/test.sh or scripts/build.sh PRESET).
# Example: scripts/repeat.sh 20 '^e2e_test_(wayland|faults)$'
set -euo pipefail
cd "$(dirname "$0")/.."
preset=release
exclude='^$'
load=1
while [ $# -gt 0 ]; do
  case "$1" in
    --preset) preset=$2; shift 2 ;;
    --exclude) exclude=$2; shift 2 ;;
    --no-load) load=""; shift ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || {
  echo "usage: scripts/repeat.sh [--preset PRESET] [--exclude REGEX] [--no-load] N REGEX" >&2
  exit 2
}
runs=$1 pattern=$2
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
logs=build/repeat-logs
mkdir -p "$logs"

busy_pid=""
stop_load() { [ -z "$busy_pid" ] || kill "$busy_pid" 2>/dev/null || true; }
trap stop_load EXIT
if [ -n "$load" ]; then
  # One core kept busy at normal priority, as another program would.
  bash -c 'while :; do :; done' &
  busy_pid=$!
fi

mapfile -t tests < <(ctest --preset "$preset" -N -R "$pattern" -E "$exclude" |
  sed -n 's/^ *Test *#[0-9]*: //p')
[ ${#tests[@]} -gt 0 ] || { echo "no test matches $pattern in preset $preset" >&2; exit 2; }

failed=0
summary=()
for test in "${tests[@]}"; do
  passed=0
  for run in $(seq "$runs"); do
    log="$logs/$test.$run.log"
    begin=$SECONDS
    if ctest --preset "$preset" -R "^${test}\$" --output-on-failure >"$log" 2>&1; then
      passed=$((passed + 1))
      rm -f "$log"
      echo "$test run $run: passed ($((SECONDS - begin)) s)"
    else
      failed=1
      echo "$test run $run: FAILED ($((SECONDS - begin)) s), output in $log"
    fi
  done
  summary+=("$(printf '%-36s %d of %d passed' "$test" "$passed" "$runs")")
done
echo
printf '%s\n' "${summary[@]}"
exit "$failed"
