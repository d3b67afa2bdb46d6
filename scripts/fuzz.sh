#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset, build/fuzz) and runs every fuzz_* target for
# SECONDS each with a fixed seed. Each target starts from a temporary copy of its committed
# corpus (tests/fuzz/corpus/<target>/), so the committed corpus never grows, and uses
# tests/fuzz/corpus/<target>.dict when present. Exits non-zero when any target fails.
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

failed=()
for binary in "${targets[@]}"; do
  name=$(basename "$binary")
  corpus=$work/$name
  mkdir -p "$corpus"
  if [ -d "$corpus_root/$name" ]; then
    cp -R "$corpus_root/$name/." "$corpus/"
  fi
  options=(-seed=1 -max_total_time="$seconds" -artifact_prefix="$artifacts/$name-"
           -print_final_stats=1)
  if [ -f "$corpus_root/$name.dict" ]; then
    options+=(-dict="$corpus_root/$name.dict")
  fi
  echo "== $name: ${seconds}s" >&2
  if "$binary" "${options[@]}" "$corpus" >"$work/$name.log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|Done )' "$work/$name.log" >&2 || true
  else
    echo "!! $name failed; crash input under $artifacts" >&2
    tail -n 40 "$work/$name.log" >&2
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}" >&2
  exit 1
fi
echo "all ${#targets[@]} fuzz targets ran ${seconds}s without a crash" >&2
