#!/usr/bin/env bash
# Sets everything up and runs the whole test suite:
#   native build (unit and end-to-end tests), win64 cross-build (the same
#   end-to-end tests against the Windows binaries under Wine), the unit tests
#   again under AddressSanitizer+UndefinedBehaviorSanitizer and under
#   ThreadSanitizer, and the fuzzers for a bounded time.
# Everything that sends runs in a private network namespace (scripts/private-net).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
step() { printf '\n=== %s (%ds)\n' "$*" $(( $(date +%s) - start )); }

step "setup"
scripts/setup.sh

build() {
  local preset=$1
  shift
  step "build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" "$@"
}
build win64
build linux
build sanitize --target unit_tests
build tsan --target unit_tests
build fuzz

step "sanitizers: unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --preset sanitize -L unit -j2
step "sanitizers: unit tests under ThreadSanitizer"
ctest --preset tsan -L unit -j2
step "fuzzers"
scripts/run-fuzzers.sh build/fuzz 30
step "native and Wine tests"
ctest --preset all -j2
step "done"
