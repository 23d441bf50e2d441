#!/bin/sh
# Configures and builds Skyvane with its tests into build/ (or $SKYVANE_BUILD_DIR);
# arguments name the targets to build (default: all).
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${SKYVANE_BUILD_DIR:-build}"
# CI builds treat warnings as errors; a user's build only shows them.
strict=OFF
[ "${CI:-}" = "true" ] && strict=ON
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${SKYVANE_BUILD_TYPE:-RelWithDebInfo}" \
    -DSKYVANE_WARNINGS_AS_ERRORS="$strict" -DSKYVANE_WINDOWS_MSI="${SKYVANE_WINDOWS_MSI:-}" >/dev/null
if [ "$#" -gt 0 ]; then
    cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target "$@"
else
    cmake --build "$BUILD_DIR" --parallel "$(nproc)"
fi
