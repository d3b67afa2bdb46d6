#!/usr/bin/env bash
# Configures and builds one preset (default: release) after installing what the project needs:
# every target, or only the TARGETs named after the preset.
#
# Usage: scripts/build.sh [PRESET [TARGET...]]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"
shift || true
scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
targets=()
if [ $# -gt 0 ]; then
  targets=(--target "$@")
fi
cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}"
