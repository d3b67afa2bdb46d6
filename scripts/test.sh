#!/usr/bin/env bash
# Builds and runs every test: the release build (unit, widget, network and end-to-end tests),
# the unit, widget and network tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# a short run of every fuzz target, and the Windows build's tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

scripts/build.sh release
ctest --preset release -LE 'e2e|soak' -j 2
ctest --preset release -L e2e

scripts/build.sh asan
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --preset asan -j 2

scripts/fuzz.sh "${FUZZ_SECONDS:-15}"

# The Windows build: cross-built with mingw-w64 and tested under Wine (unit tests, the Windows
# services, the download against the sample feed server).
scripts/build.sh windows
ctest --preset windows -j 2

echo "All tests passed."
