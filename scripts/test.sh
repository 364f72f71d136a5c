#!/usr/bin/env bash
# Set up, build and run the whole test suite (--sanitize: with AddressSanitizer and UBSan).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh "$@"
dir=build; [ "${1:-}" = "--sanitize" ] && dir=build-sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
# The fuzz targets carry their own sanitizers, so they replay and explore once, with the plain run.
[ "${1:-}" = "--sanitize" ] || bash scripts/fuzz.sh --replay 20
