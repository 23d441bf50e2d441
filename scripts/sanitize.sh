#!/bin/sh
# Builds Skyvane with a sanitizer into a folder of its own and runs the tests
# that read exports and lists and run fleets (worker threads) under it.
# Usage: scripts/sanitize.sh asan|tsan [ctest -R pattern]
#   asan  AddressSanitizer and UndefinedBehaviorSanitizer (build-asan)
#   tsan  ThreadSanitizer (build-tsan); Qt itself is not instrumented, so its
#         own hand-overs between threads are not seen, ours are
set -eu
cd "$(dirname "$0")/.."
kind="${1:-}"
pattern="${2:-tst_program|tst_fleetprogram|tst_discovery|tst_registryfile|tst_patchlist}"
case "$kind" in
    asan) option=-DSKYVANE_SANITIZE=ON ;;
    tsan) option=-DSKYVANE_SANITIZE_THREAD=ON ;;
    *) echo "usage: scripts/sanitize.sh asan|tsan [test pattern]" >&2; exit 1 ;;
esac
scripts/setup.sh
build="build-$kind"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYVANE_WINDOWS_MSI= $option >/dev/null
cmake --build "$build" --parallel "$(nproc)"
ASAN_OPTIONS=detect_leaks=0 TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(pwd)/tests/tsan.supp" \
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -R "$pattern"
