#!/usr/bin/env bash
# The long checks that measure the program over minutes rather than test it: the end-to-end
# memory soak (90 s of reloads on the real program) and a longer run of every fuzz target.
# They are kept out of scripts/test.sh so that the everyday test command stays short; run this
# before a release or after changing the feed parsers, the download or the label storage.
#
# Usage: scripts/soak.sh [FUZZ_SECONDS]   (default 300 seconds per fuzz target)
set -euo pipefail
cd "$(dirname "$0")/.."
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

scripts/build.sh release
ctest --preset release -L soak
scripts/fuzz.sh "${1:-300}"
echo "Soak checks passed."
