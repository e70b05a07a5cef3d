#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite (offscreen, no display); the
# whole suite (no CTEST ARGS) is followed by every fuzz target for a short while
# (FOLIVEX_FUZZ_SECONDS each, default 10; 0 skips them).
#   ./test.sh [CTEST ARGS...]              the normal build in build/
#   ./test.sh --sanitize [CTEST ARGS...]   the suite on the sanitizer build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
export QT_QPA_PLATFORM=offscreen

if [ "${1:-}" = "--sanitize" ]; then
  shift
  scripts/build --sanitize
  # Leaks of the libraries below us (fonts, GraphicsMagick's coder registry) are listed in
  # tests/sanitizer.supp; any other leak or error fails the test that meets it.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  cd build-sanitize
  exec ctest --output-on-failure -j2 --timeout 900 "$@"
fi

scripts/build
(cd build && ctest --output-on-failure -j2 --timeout 300 "$@")
if [ $# -eq 0 ] && [ "${FOLIVEX_FUZZ_SECONDS:-10}" != 0 ]; then
  scripts/fuzz "${FOLIVEX_FUZZ_SECONDS:-10}"
fi
