#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests (offscreen, no display needed).
#   ./test.sh [CTEST ARGS...]              the normal build in build/: every tier (unit, browser,
#                                          system, desktop) and the fuzz targets' seeds; CTest
#                                          arguments pass through (-L unit: the fast tier)
#   ./test.sh --sanitize [CTEST ARGS...]   the suite on the sanitizer build in build-sanitize/
#   ./test.sh --fuzz [SECONDS] [NAME...]   libFuzzer on every fuzz target (or the NAMEd ones) for
#                                          SECONDS each (default 60), see scripts/fuzz
# The two deep runs build with clang, which only they install.
set -euo pipefail
cd "$(dirname "$0")"
export QT_QPA_PLATFORM=offscreen

case "${1:-}" in
  --sanitize)
    shift
    scripts/install-deps --sanitize
    scripts/build --sanitize
    # Leaks of the libraries below us (fonts, GraphicsMagick's coder registry) are listed in
    # tests/sanitizer.supp; any other leak or error fails the test that meets it.
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    cd build-sanitize
    exec ctest --output-on-failure -j2 --timeout 900 "$@"
    ;;
  --fuzz)
    shift
    exec scripts/fuzz "$@"
    ;;
esac

scripts/install-deps
scripts/build
cd build
# Twice the cores, at most 8: unit tests mostly wait, and the others count as two each.
jobs=$(( $(nproc) * 2 ))
[ "$jobs" -le 8 ] || jobs=8
exec ctest --output-on-failure -j"$jobs" --timeout 300 "$@"
