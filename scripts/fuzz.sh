#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset, build/fuzz) and runs every fuzz_* target for
# SECONDS each with a fixed seed. Each target starts from a temporary copy of its committed
# corpus (tests/fuzz/corpus/<target>/), so the committed corpus never grows, and uses
# tests/fuzz/corpus/<target>.dict when present. Exits non-zero when any target fails.
#
# Runs as many targets at a time as there are processors; FUZZ_JOBS chooses another number.
#
# Usage: scripts/fuzz.sh SECONDS
set -euo pipefail

if [ $# -ne 1 ] || ! [[ "$1" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 SECONDS" >&2
  exit 2
fi
seconds=$1

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

build=$root/build/fuzz
corpus_root=$root/tests/fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=$build/artifacts
mkdir -p "$artifacts"

mapfile -t targets < <(find "$build" -maxdepth 3 -type f -name 'fuzz_*' -perm -u+x | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets found under $build" >&2
  exit 1
fi

# fuzz_one BINARY: runs one target for SECONDS; exits non-zero when it found a crash.
fuzz_one() {
  local binary=$1 name corpus
  name=$(basename "$binary")
  corpus=$work/$name
  mkdir -p "$corpus"
  if [ -d "$corpus_root/$name" ]; then
    cp -R "$corpus_root/$name/." "$corpus/"
  fi
  local options=(-seed=1 -max_total_time="$seconds" -artifact_prefix="$artifacts/$name-"
                 -print_final_stats=1)
  if [ -f "$corpus_root/$name.dict" ]; then
    options+=(-dict="$corpus_root/$name.dict")
  fi
  "$binary" "${options[@]}" "$corpus" >"$work/$name.log" 2>&1
}

# Each target reports when it ends.
jobs_at_once=${FUZZ_JOBS:-$(nproc)}
declare -A running=()
failed=()
collect() {
  local pid status=0
  wait -n -p pid "${!running[@]}" || status=$?
  local name=${running[$pid]}
  unset "running[$pid]"
  if [ "$status" -eq 0 ]; then
    echo "== $name: ${seconds}s" >&2
    grep -E '^(stat::number_of_executed_units|Done )' "$work/$name.log" >&2 || true
  else
    echo "!! $name failed; crash input under $artifacts" >&2
    tail -n 40 "$work/$name.log" >&2
    failed+=("$name")
  fi
}
for binary in "${targets[@]}"; do
  while [ ${#running[@]} -ge "$jobs_at_once" ]; do collect; done
  fuzz_one "$binary" &
  running[$!]=$(basename "$binary")
done
while [ ${#running[@]} -gt 0 ]; do collect; done

if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}" >&2
  exit 1
fi
echo "all ${#targets[@]} fuzz targets ran ${seconds}s without a crash" >&2
